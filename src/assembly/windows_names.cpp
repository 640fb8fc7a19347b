// Skin warnings about names Windows cannot open as meant, or that zrk extract refuses: one function
// per rule.
#include <algorithm>
#include <array>

#include "assembly/skin_checks.h"
#include "platform/native_path.h"

namespace zrk::skin_checks {
namespace {

// The components of a name between its separators, empty ones included.
std::vector<std::string_view> Components(std::string_view name) {
  std::vector<std::string_view> components;
  for (std::size_t start = 0; start <= name.size();) {
    std::size_t end = start;
    while (end < name.size() && !platform::IsPathSeparator(name[end])) ++end;
    components.push_back(name.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

// What a name with "..", from a root or with a drive also means: the package is written, as the
// host may read such a name as it is, but its extraction checks every name first and writes
// nothing.
constexpr std::string_view kExtractRefuses = "zrk extract откажется извлекать весь пакет";

bool HasDrive(std::string_view name) {
  return name.size() >= 2 && name[1] == ':' &&
         ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

}  // namespace

std::optional<std::string> LeavesSkinFolder(std::string_view name) {
  std::string how;
  if (!name.empty() && platform::IsPathSeparator(name[0])) {
    how = "путь от корня диска";
  } else if (HasDrive(name)) {
    how = "указана буква диска";
  } else {
    int depth = 0;
    for (const std::string_view component : Components(name)) {
      if (component == "..") {
        if (--depth < 0) break;
      } else if (!component.empty() && component != ".") {
        ++depth;
      }
    }
    if (depth >= 0) return std::nullopt;
    how = "\"..\" ведёт выше неё";
  }
  return "имя выходит за папку скина (" + how + "): хост будет искать файл вне скина, а " +
         std::string(kExtractRefuses) +
         "; положите файл в папку скина и укажите имя относительно неё";
}

std::optional<std::string> StepsBackInside(std::string_view name) {
  if (name.find("..") == std::string_view::npos || LeavesSkinFolder(name)) return std::nullopt;
  std::vector<std::string_view> kept;
  bool stepped_back = false;
  for (const std::string_view component : Components(name)) {
    if (component == "..") {
      stepped_back = true;
      kept.pop_back();  // never empty: the name stays in the folder
    } else if (!component.empty() && component != ".") {
      kept.push_back(component);
    }
  }
  if (!stepped_back || kept.empty()) return std::nullopt;  // no "..", or it names the folder
  std::string plain;
  for (const std::string_view component : kept) {
    plain += (plain.empty() ? "" : "\\") + std::string(component);
  }
  return "в имени есть часть '..': хост найдёт файл, но " + std::string(kExtractRefuses) +
         "; напишите имя без '..': " + Quoted(plain);
}

std::optional<std::string> ForbiddenCharacter(std::string_view name) {
  for (std::size_t i = HasDrive(name) ? 2 : 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x20 && std::string_view("<>:\"|?*").find(name[i]) == std::string_view::npos) {
      continue;
    }
    std::string shown;
    if (c < 0x20) {
      constexpr std::string_view kHex = "0123456789ABCDEF";
      shown = std::string("с кодом 0x") + kHex[c >> 4] + kHex[c & 0xF];
    } else {
      shown = Quoted(name.substr(i, 1));
    }
    return "в имени есть символ " + shown +
           ", недопустимый в именах файлов Windows: хост не откроет этот файл; уберите этот символ "
           "из имени файла";
  }
  return std::nullopt;
}

std::optional<std::string> ComponentEndingInBlankOrDot(std::string_view name) {
  for (const std::string_view component : Components(name)) {
    if (component.empty() || component == "." || component == ".." ||
        (component.back() != ' ' && component.back() != '.')) {
      continue;
    }
    std::string_view stripped = component;
    while (!stripped.empty() && (stripped.back() == ' ' || stripped.back() == '.')) {
      stripped.remove_suffix(1);
    }
    return "часть имени " + Quoted(component) +
           " оканчивается точкой или пробелом: Windows их отбрасывает, и хост будет искать " +
           Quoted(stripped) + "; уберите точки и пробелы в конце";
  }
  return std::nullopt;
}

std::optional<std::string> DeviceName(std::string_view name) {
  static constexpr std::array<std::string_view, 22> kDevices = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  for (const std::string_view component : Components(name)) {
    // Windows takes "con.bmp" and "CON " for the device as well.
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    const auto device = std::find_if(kDevices.begin(), kDevices.end(), [base](auto device) {
      return device.size() == base.size() && platform::FoldCase(device) == platform::FoldCase(base);
    });
    if (device == kDevices.end()) continue;
    return "часть имени " + Quoted(component) +
           " — имя устройства Windows: хост откроет устройство " + std::string(*device) +
           ", а не файл; дайте этой части другое имя";
  }
  return std::nullopt;
}

std::vector<std::string> WindowsNameWarnings(std::string_view name) {
  std::vector<std::string> texts;
  for (const auto rule : {LeavesSkinFolder, StepsBackInside, ForbiddenCharacter,
                          ComponentEndingInBlankOrDot, DeviceName}) {
    if (std::optional<std::string> text = rule(name)) texts.push_back(std::move(*text));
  }
  return texts;
}

}  // namespace zrk::skin_checks
