// Benchmark of CollectFileList on a large generated skin: 300 size modules, about 20,000 names.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "assembly/file_list.h"

namespace {

constexpr int kSizes = 60;
constexpr const char* kModuleKeys[] = {"BackGround", "Font", "Picture", "ToolTip", "BackLayer"};
// The keys of the sixteen module reads, by section (the reader serves only the first section of
// a name, so each section appears once).
constexpr const char* kModuleSections[][5] = {
    {"STANDARD", "Picture", "Mask", "FontFileName", "SecondFontFileName"},
    {"MOUSEMOVE", "Picture", "FontFileName", "Mask", nullptr},
    {"MOUSEUP", "Picture", "FontFileName", "Mask", nullptr},
    {"MOUSEDOWN", "Picture", "FontFileName", "Mask", nullptr},
    {"EFFECTS", "Picture", "Mask", nullptr, nullptr},
};
constexpr int kFramesPerModule = 52;  // 52 names of 13 bytes stay below the 1022-byte value limit
constexpr int kModules = kSizes * 5;
// The project, its modules, 14 names of their own per module, the shared font and the frames.
constexpr std::size_t kExpectedNames =
    1 + kModules + kModules * 14 + 1 + kModules * kFramesPerModule;

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A skin in a temporary folder, made once and removed when the program ends.
class GeneratedSkin {
 public:
  GeneratedSkin() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zrk-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;

    std::string sizes;
    std::string modules;
    for (int s = 0; s < kSizes; ++s) {
      const int width = 640 + 16 * s;
      if (s > 0) sizes += ';';
      sizes.append(std::to_string(width)).append(",").append(std::to_string(width * 3 / 4));
      for (int k = 0; k < 5; ++k) {
        const std::string module = "mods\\m" + std::to_string(s * 5 + k) + ".zrm";
        modules += std::string(kModuleKeys[k]) + std::to_string(width) + "=" + module + "\r\n";
        WriteModule(s * 5 + k);
      }
    }
    WriteText(folder_ / "config.zrp",
              "[DIRECTIVES]\r\nSizeList=" + sizes + "\r\n[MODULES]\r\n" + modules);
  }
  ~GeneratedSkin() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string ProjectPath() const { return (folder_ / "config.zrp").string(); }

 private:
  void WriteModule(int m) {
    const std::string prefix = std::string("m").append(std::to_string(m));
    std::string text;
    for (const auto& section : kModuleSections) {
      text += std::string("[") + section[0] + "]\r\n";
      for (int k = 1; k < 5 && section[k] != nullptr; ++k) {
        // One shared font in every module, so that duplicates are dropped as well.
        const bool shared = std::string(section[k]) == "SecondFontFileName";
        text +=
            std::string(section[k]) + "=" +
            (shared ? "fonts\\common.fnt" : "img\\" + prefix + section[0] + section[k] + ".bmp") +
            "\r\n";
      }
    }
    text += "Frames=";  // still in EFFECTS, the last section written
    for (int f = 0; f < kFramesPerModule; ++f) {
      if (f > 0) text += ';';
      text.append("f").append(std::to_string(m + 1000)).append("_");
      text.append(std::to_string(f + 100)).append(".bmp");
    }
    text += "\r\n";
    WriteText(folder_ / "mods" / (prefix + ".zrm"), text);
  }

  std::filesystem::path folder_;
};

const GeneratedSkin& Skin() {
  static const GeneratedSkin skin;
  return skin;
}

void BM_CollectFileList(benchmark::State& state) {
  const std::string project = Skin().ProjectPath();
  std::size_t names = 0;
  for (auto _ : state) {
    const auto list = zrk::CollectFileList(project);
    names = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  if (names != kExpectedNames) {
    state.SkipWithError(("collected " + std::to_string(names) + " names").c_str());
  }
  state.counters["names"] = static_cast<double>(names);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names));
}
BENCHMARK(BM_CollectFileList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
