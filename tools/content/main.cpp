// stormglass-content: writes the stand-in content the program loads (its
// bitmaps, the model, the sample and the soundtrack) and embeds the bitmaps
// for linking. Deterministic: the same files on every run.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bitmap_list.h"
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
    "  bitmaps LIST DIR STAMP [OWN_DIR]\n"
    "                              write DIR/bitmap_<id>.bmp for each bitmap in LIST: your\n"
    "                              own from OWN_DIR if it has one (checked), else the\n"
    "                              stand-in; then STAMP, and STAMP.d naming what was read\n"
    "  model FILE                  write the 3D Studio model\n"
    "  sample FILE                 write the sound sample (WAV)\n"
    "  soundtrack FILE             write the soundtrack (WAV) for the MP3 encoder\n"
    "  embed LIST DIR OUT_PREFIX   check the listed bitmaps in DIR and write\n"
    "                              OUT_PREFIX.bin, OUT_PREFIX.cpp and OUT_PREFIX_dir/\n"
    "  dialog FILE                 write the setup dialog as a resource script\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "stormglass-content: %s\n", message.c_str());
  return 1;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  return WriteFileBytes(path, reinterpret_cast<const uint8_t*>(text.data()), text.size(), error);
}

// A path as a depfile spells it.
std::string DepfilePath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ' || c == '#') out += '\\';
    if (c == '$') out += '$';
    out += c;
  }
  return out;
}

// "stamp: input..." in the make syntax the build tool reads back.
std::string Depfile(const std::string& stamp, const std::vector<std::string>& inputs) {
  std::string text = DepfilePath(stamp) + ":";
  for (const std::string& input : inputs) text += " \\\n  " + DepfilePath(input);
  return text + "\n";
}

// Puts one listed bitmap into dir: the builder's own file, checked and copied
// as it is, or the stand-in drawn at the listed size. read gets the own file.
bool PlaceBitmap(const BitmapEntry& entry, const std::string& dir, const std::string& ownDir,
                 std::vector<std::string>& read, std::string& error) {
  const std::string target = dir + "/" + entry.file;
  const std::string own = ownDir + "/" + entry.file;
  if (!ownDir.empty() && std::filesystem::is_regular_file(own)) {
    RgbImage image;
    std::vector<uint8_t> bytes;
    if (!LoadCheckedBitmap(own, entry.width, entry.height, image, error)) return false;
    if (!ReadFileBytes(own, bytes, error)) return false;
    read.push_back(own);
    std::printf("Using your %s\n", entry.file.c_str());
    return WriteFileBytes(target, bytes, error);
  }
  const RgbImage image = DrawPicture(entry.id, entry.width, entry.height);
  if (image.width == 0) {
    error = "no stand-in is drawn for bitmap " + std::to_string(entry.id) + ": put your own " + entry.file +
            " in STORMGLASS_CONTENT_DIR";
    return false;
  }
  return WriteFileBytes(target, EncodeBmp(image), error);
}

// The bitmaps step of the build: every bitmap of the list into dir, then the
// stamp and its depfile (the list, the own folder and the own files used), so
// that adding, changing or removing one of yours runs it again.
int WriteBitmaps(const std::string& listPath, const std::string& dir, const std::string& stamp,
                 const std::string& ownDir) {
  std::vector<BitmapEntry> entries;
  std::string error;
  if (!ReadBitmapList(listPath, entries, error)) return Fail(error);
  std::vector<std::string> read = {listPath};
  if (!ownDir.empty() && std::filesystem::is_directory(ownDir)) read.push_back(ownDir);
  std::string problems;
  for (const BitmapEntry& entry : entries) {
    if (!PlaceBitmap(entry, dir, ownDir, read, error)) problems += "\n" + error;
  }
  if (!problems.empty()) return Fail("the bitmaps could not be made:" + problems);
  if (!WriteText(stamp + ".d", Depfile(stamp, read), error) ||
      !WriteText(stamp, std::to_string(entries.size()) + " bitmaps from " + listPath + "\n", error)) {
    return Fail(error);
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

int WriteDialog(const std::string& path) {
  std::string error;
  if (!WriteText(path, DialogScript(kSetupDialogTemplate), error)) return Fail(error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string command = args.empty() ? "" : args[0];
  if (command == "bitmaps" && (args.size() == 4 || args.size() == 5)) {
    return WriteBitmaps(args[1], args[2], args[3], args.size() == 5 ? args[4] : "");
  }
  if (command == "model" && args.size() == 2) return WriteModel(args[1]);
  if ((command == "sample" || command == "soundtrack") && args.size() == 2) return WriteAudio(command, args[1]);
  if (command == "embed" && args.size() == 4) return Embed(args[1], args[2], args[3]);
  if (command == "dialog" && args.size() == 2) return WriteDialog(args[1]);
  std::fputs(kUsage, stderr);
  return 2;
}
