// stormglass-content: writes the stand-in content the program loads (its
// bitmaps, the model, the sample and the soundtrack) and embeds the bitmaps
// for linking. Deterministic: the same files on every run.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bmp.h"
#include "dialog_script.h"
#include "embed.h"
#include "fist_model.h"
#include "music/music_synth.h"
#include "pictures.h"
#include "resources/setup_dialog.h"

namespace {

using namespace sgcontent;

const char kUsage[] =
    "usage: stormglass-content COMMAND ARGS\n"
    "  bitmaps DIR [ID...]         write DIR/bitmap_<id>.bmp (all pictures, or the ids given)\n"
    "  model FILE                  write the 3D Studio model\n"
    "  sample FILE                 write the sound sample (WAV)\n"
    "  soundtrack FILE             write the soundtrack (WAV) for the MP3 encoder\n"
    "  embed LIST DIR OUT_PREFIX   check the listed bitmaps in DIR and write\n"
    "                              OUT_PREFIX.bin, OUT_PREFIX.cpp and OUT_PREFIX_dir/\n"
    "  check FILE WIDTH HEIGHT     check that FILE is a usable bitmap of that size\n"
    "  dialog FILE                 write the setup dialog as a resource script\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "stormglass-content: %s\n", message.c_str());
  return 1;
}

int WriteBitmaps(const std::string& dir, const std::vector<std::string>& idArgs) {
  std::vector<int> ids;
  for (const std::string& arg : idArgs) {
    char* end = nullptr;
    const long id = std::strtol(arg.c_str(), &end, 10);
    if (arg.empty() || *end != '\0' || FindPicture(static_cast<int>(id)) == nullptr) {
      return Fail("no picture has the id \"" + arg + "\"");
    }
    ids.push_back(static_cast<int>(id));
  }
  if (ids.empty()) {
    for (const PictureInfo& info : PictureTable()) ids.push_back(info.id);
  }
  for (int id : ids) {
    const RgbImage image = DrawPicture(id);
    if (image.width == 0) return Fail("picture " + std::to_string(id) + " came out at the wrong size");
    std::string error;
    if (!WriteFileBytes(dir + "/bitmap_" + std::to_string(id) + ".bmp", EncodeBmp(image), error)) return Fail(error);
  }
  return 0;
}

int WriteModel(const std::string& path) {
  std::string error;
  if (!WriteFileBytes(path, BuildFistModel(), error)) return Fail(error);
  return 0;
}

int WriteAudio(const std::string& command, const std::string& path) {
  std::string error;
  const bool ok = command == "sample" ? WriteSampleWav(path, error) : WriteSoundtrackWav(path, error);
  if (!ok) return Fail(path + ": " + error);
  return 0;
}

int Embed(const std::string& list, const std::string& dir, const std::string& outPrefix) {
  std::string error;
  if (!EmbedBitmaps(list, dir, outPrefix, error)) {
    return Fail("embedding the bitmaps failed:\n" + error);
  }
  return 0;
}

int Check(const std::string& path, const std::string& width, const std::string& height) {
  std::vector<BitmapEntry> entries;
  std::string error;
  if (!ParseBitmapList("1 file " + width + " " + height, entries, error)) return Fail("bad size: " + error);
  RgbImage image;
  if (!LoadCheckedBitmap(path, entries[0].width, entries[0].height, image, error)) return Fail(error);
  return 0;
}

int WriteDialog(const std::string& path) {
  const std::string script = DialogScript(kSetupDialogTemplate);
  std::string error;
  if (!WriteFileBytes(path, reinterpret_cast<const uint8_t*>(script.data()), script.size(), error)) return Fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  if (command == "bitmaps" && args.size() >= 2) {
    return WriteBitmaps(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  }
  if (command == "model" && args.size() == 2) return WriteModel(args[1]);
  if ((command == "sample" || command == "soundtrack") && args.size() == 2) return WriteAudio(command, args[1]);
  if (command == "embed" && args.size() == 4) return Embed(args[1], args[2], args[3]);
  if (command == "check" && args.size() == 4) return Check(args[1], args[2], args[3]);
  if (command == "dialog" && args.size() == 2) return WriteDialog(args[1]);
  std::fputs(kUsage, stderr);
  return 2;
}
