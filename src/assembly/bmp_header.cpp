// Skin warnings about what a listed file holds: a ".bmp" entry whose file starts with no BMP
// header, and a name that matched its file only by letter case.
#include "assembly/skin_checks.h"
#include "platform/native_path.h"

namespace zrk::skin_checks {
namespace {

// The shortest file that holds a BMP file header and the size, width and height of its picture.
constexpr std::size_t kMinBmpBytes = 26;

}  // namespace

bool HasBmpExtension(std::string_view name) {
  const std::size_t dot = name.find_last_of(".\\/");
  return dot != std::string_view::npos && name[dot] == '.' &&
         platform::FoldCase(name.substr(dot + 1)) == "bmp";
}

std::optional<std::string> BmpStartWarning(std::string_view start) {
  if (!start.starts_with("BM")) {
    return "файл не начинается с подписи BM: это не рисунок BMP, хост не сможет его показать; "
           "сохраните рисунок в формате BMP";
  }
  if (start.size() < kMinBmpBytes) {
    return "файл короче заголовка рисунка BMP (" + std::to_string(start.size()) +
           " байт): хост не сможет его показать; сохраните рисунок в формате BMP заново";
  }
  return std::nullopt;
}

std::string FoundByLetterCase(std::string_view on_disk) {
  return "на диске файл называется " + Quoted(on_disk) +
         ": сборка нашла его без учёта регистра букв; в Windows хост его откроет, в Linux — нет; "
         "напишите имя так, как на диске";
}

}  // namespace zrk::skin_checks
