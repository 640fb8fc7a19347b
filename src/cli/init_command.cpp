// zrk init: a starter skin written into a new or empty folder, every file or none.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "platform/cp1251.h"
#include "platform/error.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/native_path.h"

namespace zrk::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

// A 1×1 picture, 24 bits a pixel: the BMP file header, the information header and one row.
constexpr std::string_view kPixel =
    "BM\x3A\0\0\0\0\0\0\0\x36\0\0\0"
    "\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0"
    "\x13\x0B\0\0\x13\x0B\0\0\0\0\0\0\0\0\0\0"
    "\x80\x80\x80\0"sv;

// One file of the starter skin: its name as the skin spells it, and its bytes. An INI text is
// written here in UTF-8 with "\n" and goes to the disk in Windows-1251 with CR LF.
struct StarterFile {
  const char* name;
  std::string_view bytes;
  bool ini = false;
};

constexpr std::string_view kProject =
    "; Оболочка, созданная zrk init. Описание ключей: man 5 zrk-format.\n"
    "[DIRECTIVES]\n"
    "SizeList=800,600;1024,768\n"
    "\n"
    "[MODULES]\n"
    "BackGround=modules\\background.zrm\n"
    "Font=modules\\font.zrm\n"
    "Picture=modules\\button.zrm\n"
    "ToolTip=modules\\tooltip.zrm\n"
    "BackLayer=modules\\backlayer.zrm\n"
    "BackGround800=modules\\background.zrm\n"
    "BackGround1024=modules\\background.zrm\n";

constexpr std::string_view kButton =
    "; Кнопка: картинка и маска для каждого состояния, кадры анимации.\n"
    "[STANDARD]\nPicture=images\\button.bmp\nMask=images\\button_mask.bmp\n\n"
    "[MOUSEMOVE]\nPicture=images\\button_hover.bmp\nMask=images\\button_mask.bmp\n\n"
    "[MOUSEDOWN]\nPicture=images\\button_down.bmp\nMask=images\\button_mask.bmp\n\n"
    "[MOUSEUP]\nPicture=images\\button_hover.bmp\nMask=images\\button_mask.bmp\n\n"
    "[EFFECTS]\nFrames=effects\\frame1.bmp;effects\\frame2.bmp\n";

constexpr StarterFile kStarterSkin[] = {
    {"config.zrp", kProject, true},
    {"modules\\background.zrm", "[STANDARD]\nPicture=images\\background.bmp\n", true},
    {"modules\\font.zrm", "[STANDARD]\nFontFileName=fonts\\main.fnt\n", true},
    {"modules\\button.zrm", kButton, true},
    {"modules\\tooltip.zrm", "[STANDARD]\nPicture=images\\tooltip.bmp\n", true},
    {"modules\\backlayer.zrm", "[STANDARD]\nPicture=images\\backlayer.bmp\n", true},
    {"images\\background.bmp", kPixel},
    {"images\\button.bmp", kPixel},
    {"images\\button_mask.bmp", kPixel},
    {"images\\button_hover.bmp", kPixel},
    {"images\\button_down.bmp", kPixel},
    {"images\\tooltip.bmp", kPixel},
    {"images\\backlayer.bmp", kPixel},
    {"effects\\frame1.bmp", kPixel},
    {"effects\\frame2.bmp", kPixel},
    {"fonts\\main.fnt", "placeholder font: put the real font file here\r\n"},
    {"preview.bmp", kPixel},
};

// The bytes a file of the skin holds on the disk.
std::string DiskBytes(const StarterFile& file) {
  if (!file.ini) return std::string(file.bytes);
  std::string text;
  for (const char c : file.bytes) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return platform::Utf8ToCp1251(text).value();  // the table holds Windows-1251 letters only
}

// The folder's names from the skin's spelling: "images\a.bmp" is {"images", "a.bmp"}.
std::vector<std::string> Components(std::string_view name) {
  std::vector<std::string> parts(1);
  for (const char c : name) {
    if (c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// What the run made, removed again unless Keep() is called: files first, then folders, the
// deepest first.
class MadeSoFar {
 public:
  ~MadeSoFar() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      std::error_code ignored;
      fs::remove(*it, ignored);
    }
  }
  void Add(fs::path path) { made_.push_back(std::move(path)); }
  void Keep() { made_.clear(); }

 private:
  std::vector<fs::path> made_;
};

// Makes folder and the missing folders above it, each told to made; says why it could not.
void MakeFolder(const fs::path& folder, MadeSoFar& made, const std::string& shown) {
  std::vector<fs::path> missing;
  std::error_code ec;
  for (fs::path there = folder; !there.empty() && !fs::exists(there, ec) && !ec;
       there = there.parent_path()) {
    missing.insert(missing.begin(), there);
    if (there == there.parent_path()) break;
  }
  for (const fs::path& path : missing) {
    if (!ec && fs::create_directory(path, ec)) made.Add(path);
  }
  if (ec) throw Error(cli_texts::InitNotWritten(shown, platform::ErrorText(ec)));
}

// Writes one file of the skin beneath folder, making its sub-folders.
void WriteStarterFile(platform::FileSystem& files, const std::string& folder,
                      const StarterFile& file, MadeSoFar& made) {
  std::vector<std::string> parts = Components(file.name);
  const std::string name = parts.back();
  parts.pop_back();
  fs::path path = platform::PathFromUtf8(folder);
  for (const std::string& part : parts) {
    path /= platform::PathFromUtf8(part);
    if (!fs::exists(path)) made.Add(path);
  }
  path /= platform::PathFromUtf8(name);
  std::error_code ec;
  const std::unique_ptr<platform::NewFile> out = files.CreateBeneath(folder, parts, name, ec);
  if (out) {
    const std::string bytes = DiskBytes(file);
    files.Write(out->handle(), bytes, ec);
    if (!ec) out->Commit(false, ec);
    if (!ec) made.Add(path);
  }
  if (ec) throw Error(cli_texts::InitFileNotWritten(file.name, platform::ErrorText(ec)));
}

}  // namespace

int RunInit(const std::string& folder) {
  const fs::path path = platform::PathFromUtf8(folder);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status) && (!fs::is_directory(status) || !fs::is_empty(path, ec) || ec)) {
    Say(cli_texts::InitFolderNotEmpty(folder));
    return kExitFailed;
  }
  MadeSoFar made;
  try {
    MakeFolder(path, made, folder);
    platform::NativeFileSystem files;
    for (const StarterFile& file : kStarterSkin) WriteStarterFile(files, folder, file, made);
  } catch (const Error& failure) {
    Say(failure.what());
    return kExitFailed;
  }
  made.Keep();
  Say(cli_texts::InitWritten(folder, std::size(kStarterSkin)));
  return kExitOk;
}

}  // namespace zrk::cli
