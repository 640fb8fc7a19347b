// Skin warnings about pictures: a ".bmp" entry whose file starts with no BMP header.
#include "assembly/skin_checks.h"
#include "platform/native_path.h"

namespace zrk::skin_checks {
namespace {

// The shortest file that holds a BMP file header and the size, width and height of its picture.
constexpr std::size_t kMinBmpBytes = 26;

bool HasBmpExtension(std::string_view name) {
  const std::size_t dot = name.find_last_of(".\\/");
  return dot != std::string_view::npos && name[dot] == '.' &&
         platform::FoldCase(name.substr(dot + 1)) == "bmp";
}

}  // namespace

std::optional<std::string> BmpHeaderWarning(const std::string& name, const std::string& skin_folder,
                                            platform::FileSystem& fs) {
  if (!HasBmpExtension(name)) return std::nullopt;
  std::error_code ec;
  const std::optional<std::string> header = platform::ReadFileStart(
      fs, platform::ResolveNativePath(skin_folder + name), kMinBmpBytes, ec);
  if (!header) return std::nullopt;
  if (!header->starts_with("BM")) {
    return "файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его показать; "
           "сохраните рисунок в формате BMP";
  }
  if (header->size() < kMinBmpBytes) {
    return "файл короче заголовка рисунка BMP (" + std::to_string(header->size()) +
           " байт): хост не сможет его показать; сохраните рисунок в формате BMP заново";
  }
  return std::nullopt;
}

}  // namespace zrk::skin_checks
