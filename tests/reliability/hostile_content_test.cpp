// The program itself on damaged content: a datas/ folder holding a truncated,
// empty, garbage or huge soundtrack, sample or model. It never crashes or
// hangs; a soundtrack that cannot be opened ends with its message box and a
// failure, a broken sample leaves Space without effect while the show plays
// on, and a broken model is drawn as far as it was read, or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "chunk_writer.h"
#include "model_checks.h"
#include "program_run.h"
#include "sequence/content.h"
#include "sequence/music.h"

namespace {

using sgtest::Bytes;
using sgtest::ProgramOptions;
using sgtest::ProgramResult;

constexpr uint64_t kHugeBytes = 200ull << 20;
const char* const kSoundtrack = "Brassvale.mp3";
const char* const kSample = "s.pak";
const char* const kModel = "qor_fist.3ds";
// The box that refuses the soundtrack, saying why.
std::string NoSoundtrackBox(const std::string& reason) {
  return "ERROR|Can't open the soundtrack \"datas/Brassvale.mp3\": " + reason + ".|48|1";
}

// The build's own content file (the tests run in the build folder).
Bytes BuildFile(const std::string& name) {
  std::ifstream in("datas/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Head(const Bytes& bytes, size_t count) {
  return Bytes(bytes.begin(), bytes.begin() + std::min(count, bytes.size()));
}

Bytes Garbage(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

// The folders a test made, removed when its process ends (program runs end
// in their child with _Exit, so only the test's own process removes them).
class Folders {
 public:
  ~Folders() {
    std::error_code ignored;
    for (const std::string& folder : folders_) std::filesystem::remove_all(folder, ignored);
  }
  static std::string Keep(const std::string& folder) {
    static Folders all;
    all.folders_.push_back(folder);
    return folder;
  }

 private:
  std::vector<std::string> folders_;
};

// A datas/ folder with the build's content (links to it), except `omit`.
std::string DataFolderWithout(const std::string& omit) { return Folders::Keep(sgtest::DataFolderWithout(omit)); }

// The same with `name` holding `bytes`, then stretched (sparsely, with zeros)
// to `size` bytes.
std::string FolderWith(const std::string& name, const Bytes& bytes, uint64_t size = 0) {
  std::string folder = DataFolderWithout(name);
  std::string path = folder + "/datas/" + name;
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  if (size > bytes.size() && truncate(path.c_str(), static_cast<off_t>(size)) != 0) return "";
  return folder;
}

uint32_t g_mixHash = 2166136261u;

// What a run heard, hashed frame by frame from the offline mix.
void HashMix() {
  std::vector<int16_t> mix;
  audio_host::OfflineTakeMix(mix);
  for (int16_t sample : mix) {
    g_mixHash = (g_mixHash ^ static_cast<uint16_t>(sample)) * 16777619u;
  }
}

// A short show: into scene 4 (the model) at once, Space, a little more
// music, Esc. Ten frames a second, so frame n is n / 10 s of the run.
ProgramOptions ShortShow(const std::string& folder) {
  ProgramOptions options;
  options.workingDirectory = folder;
  options.lockstep.keys = {{0.3, VK_F3}, {0.8, VK_SPACE}, {2.0, VK_ESCAPE}};
  options.onFrame = [](const host::FrameInfo& frame) {
    HashMix();
    if (frame.index == 12) {  // scene 4, the model drawn just before
      std::printf("modelProblem=%s\n", sgtest::ModelProblem(g_model).c_str());
    }
  };
  options.finish = [] {
    std::printf("music=%u\nsample=%u\nobjects=%d\nvertices=%d\nfaces=%d\nmix=%08x\n", g_music, g_sample,
                g_model.objectCount, g_model.vertexTotal, g_model.faceTotal, g_mixHash);
  };
  return options;
}

ProgramResult RunShow(const ProgramOptions& options) { return sgtest::RunProgram(options, 120); }

void ExpectCleanEnd(const ProgramResult& run) {
  ASSERT_FALSE(run.child.timedOut) << "hung";
  ASSERT_TRUE(run.child.exited) << "signal " << run.child.signal << "\n" << run.child.err;
  EXPECT_EQ(run.exitCode, 0) << run.child.err;
  EXPECT_TRUE(run.boxes.empty()) << run.boxes.front();
}

// The short show to its Esc: frames 0 to 19; the Esc due at 2 s ends the
// loop before frame 20. The last frames are in scene 4.
void ExpectShortShowPlayed(const ProgramResult& run) {
  ExpectCleanEnd(run);
  ASSERT_EQ(run.swaps, 20);
  EXPECT_GE(run.frames.back().musicSeconds, 59.5f);
  EXPECT_LT(run.frames.back().musicSeconds, 63.5f);
}

void ExpectRefusedSoundtrack(const ProgramResult& run, const std::string& reason) {
  ASSERT_FALSE(run.child.timedOut) << "hung";
  ASSERT_TRUE(run.child.exited) << "signal " << run.child.signal << "\n" << run.child.err;
  EXPECT_EQ(run.exitCode, kStartupFailureExitCode);
  EXPECT_EQ(run.child.exitCode, kStartupFailureExitCode);
  EXPECT_EQ(run.swaps, 0);
  EXPECT_EQ(run.Value("music"), "0");
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0], NoSoundtrackBox(reason));
  EXPECT_NE(run.child.err.find(reason), std::string::npos) << run.child.err;
}

// ---- Soundtrack ----

TEST(HostileSoundtrack, EmptyGarbageAndCutOffFilesEndWithTheMessageBox) {
  const Bytes soundtrack = BuildFile(kSoundtrack);
  ASSERT_GT(soundtrack.size(), 100000u);
  struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;
  };
  const Bytes tagOnly = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::vector<Case> cases = {
      {"empty", {}, "the file is empty"},
      {"garbage", Garbage(64 << 10, 1), "it is not MPEG audio"},
      {"cut inside its first frame", Head(soundtrack, 400), "it is not MPEG audio"},
      {"the sample instead", BuildFile(kSample), "it is not MPEG audio"},
      {"a tag and no frames", tagOnly, "it holds no audio frames"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectRefusedSoundtrack(RunShow(ShortShow(FolderWith(kSoundtrack, c.bytes))), c.reason);
  }
}

TEST(HostileSoundtrack, AHugeFileOfZerosEndsWithTheMessageBox) {
  ExpectRefusedSoundtrack(RunShow(ShortShow(FolderWith(kSoundtrack, {}, kHugeBytes))), "it is not MPEG audio");
}

TEST(HostileSoundtrack, AFolderInItsPlaceEndsWithTheMessageBox) {
  std::string folder = DataFolderWithout(kSoundtrack);
  ASSERT_EQ(mkdir((folder + "/datas/" + kSoundtrack).c_str(), 0755), 0);
  ExpectRefusedSoundtrack(RunShow(ShortShow(folder)), "it is missing or cannot be read");
}

// The music ends early: the position stays at its end, frames keep coming
// and the keys still work.
TEST(HostileSoundtrack, ATruncatedSoundtrackPlaysWhatItHasAndStillAnswersEsc) {
  const Bytes soundtrack = BuildFile(kSoundtrack);
  ProgramOptions options;
  // A tenth of the track: a quarter of a minute or so of music.
  options.workingDirectory = FolderWith(kSoundtrack, Head(soundtrack, soundtrack.size() / 10));
  options.lockstep.keys = {{30.0, VK_ESCAPE}};
  ProgramResult run = RunShow(options);
  ExpectCleanEnd(run);
  ASSERT_EQ(run.swaps, 300);
  const float end = run.frames.back().musicSeconds;
  EXPECT_GT(end, 5.0f);
  EXPECT_LT(end, 25.0f);
  EXPECT_EQ(run.frames[280].musicSeconds, end);  // held at the end, not looping
  EXPECT_LT(run.frames[40].musicSeconds, end);
}

// Real music followed by 200 MB of nothing: refused as a whole or played,
// never a crash, a hang or a half-open start.
TEST(HostileSoundtrack, AHugeTailIsRefusedOrPlayedButNeverHalfOpen) {
  ProgramResult run = RunShow(ShortShow(FolderWith(kSoundtrack, BuildFile(kSoundtrack), kHugeBytes)));
  if (run.Value("music") == "0") {
    ExpectRefusedSoundtrack(run, "it is not MPEG audio");
  } else {
    ExpectShortShowPlayed(run);
  }
}

// ---- Sample ----

// Space with a sample that did not load must sound exactly like no sample.
void ExpectSpaceHasNoEffect(const std::string& folder) {
  ProgramResult run = RunShow(ShortShow(folder));
  ExpectShortShowPlayed(run);
  EXPECT_EQ(run.Value("sample"), "0");
  EXPECT_NE(run.Value("music"), "0");
  ProgramResult silent = RunShow(ShortShow(DataFolderWithout(kSample)));
  ExpectShortShowPlayed(silent);
  EXPECT_EQ(run.Value("mix"), silent.Value("mix"));
}

TEST(HostileSample, AWorkingSampleIsHeardSoTheComparisonCanTell) {
  ProgramResult run = RunShow(ShortShow(DataFolderWithout("")));
  ExpectShortShowPlayed(run);
  EXPECT_NE(run.Value("sample"), "0");
  ProgramResult silent = RunShow(ShortShow(DataFolderWithout(kSample)));
  EXPECT_NE(run.Value("mix"), silent.Value("mix"));
}

TEST(HostileSample, EmptyLeavesSpaceWithoutEffect) { ExpectSpaceHasNoEffect(FolderWith(kSample, {})); }

TEST(HostileSample, GarbageLeavesSpaceWithoutEffect) {
  ExpectSpaceHasNoEffect(FolderWith(kSample, Garbage(32 << 10, 2)));
}

TEST(HostileSample, TruncatedLeavesSpaceWithoutEffect) {
  ExpectSpaceHasNoEffect(FolderWith(kSample, Head(BuildFile(kSample), 1000)));
}

TEST(HostileSample, HugeFileOfZerosLeavesSpaceWithoutEffect) {
  ExpectSpaceHasNoEffect(FolderWith(kSample, {}, kHugeBytes));
}

// A header that promises four gigabytes of samples over a few bytes.
TEST(HostileSample, AHeaderClaimingGigabytesLeavesSpaceWithoutEffect) {
  Bytes wav = Head(BuildFile(kSample), 64);
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  for (int i = 40; i < 44; ++i) wav[static_cast<size_t>(i)] = 0xF0;
  ExpectSpaceHasNoEffect(FolderWith(kSample, wav));
}

// Resampled to the output's rate, one sample a second would take gigabytes.
TEST(HostileSample, AHeaderClaimingOneSampleASecondLeavesSpaceWithoutEffect) {
  Bytes wav = BuildFile(kSample);
  ASSERT_EQ(std::string(wav.begin() + 12, wav.begin() + 16), "fmt ");
  const uint8_t oneHertz[4] = {1, 0, 0, 0};
  std::copy(oneHertz, oneHertz + 4, wav.begin() + 24);
  ExpectSpaceHasNoEffect(FolderWith(kSample, wav));
}

// ---- Model ----

// What the program loaded, read in the child after the run.
struct LoadedModel {
  std::string objects, vertices, faces;
};

LoadedModel Loaded(const ProgramResult& run) {
  return {run.Value("objects"), run.Value("vertices"), run.Value("faces")};
}

// The same bytes read by the reader here: what the program must hold.
LoadedModel ReadHere(const Bytes& bytes) {
  Model_3DS model;
  model.LoadFromBytes(bytes.data(), bytes.size());
  return {std::to_string(model.objectCount), std::to_string(model.vertexTotal), std::to_string(model.faceTotal)};
}

void ExpectModelShown(const ProgramResult& run, const LoadedModel& expected) {
  ExpectShortShowPlayed(run);
  EXPECT_EQ(run.Value("modelProblem"), "");
  LoadedModel loaded = Loaded(run);
  EXPECT_EQ(loaded.objects, expected.objects);
  EXPECT_EQ(loaded.vertices, expected.vertices);
  EXPECT_EQ(loaded.faces, expected.faces);
}

TEST(HostileModel, EmptyGarbageAndZerosDrawNothing) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"empty", {}},
      {"garbage", Garbage(64 << 10, 3)},
      {"zeros", Bytes(4096, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    ProgramResult run = RunShow(ShortShow(FolderWith(kModel, c.second)));
    ExpectModelShown(run, ReadHere(c.second));
  }
}

TEST(HostileModel, ATruncatedModelDrawsWhatWasRead) {
  const Bytes full = BuildFile(kModel);
  const Bytes cut = Head(full, full.size() * 2 / 5);
  const LoadedModel expected = ReadHere(cut);
  ASSERT_NE(expected.objects, "0");
  ASSERT_LT(std::stoi(expected.vertices), std::stoi(ReadHere(full).vertices));
  ExpectModelShown(RunShow(ShortShow(FolderWith(kModel, cut))), expected);
}

TEST(HostileModel, AHugeFileOfZerosDrawsNothing) {
  ProgramResult run = RunShow(ShortShow(FolderWith(kModel, {}, kHugeBytes)));
  ExpectModelShown(run, {"0", "0", "0"});
}

TEST(HostileModel, AHugeTailAfterTheModelChangesNothing) {
  const Bytes full = BuildFile(kModel);
  ExpectModelShown(RunShow(ShortShow(FolderWith(kModel, full, kHugeBytes))), ReadHere(full));
}

// Counts and lengths at their largest over a few real records, and a
// thousand objects each claiming a full vertex list.
TEST(HostileModel, GiantCountsDrawOnlyWhatIsThere) {
  using sgtest::Chunk;
  std::vector<Chunk> contents;
  Chunk vertices = sgtest::VertexList({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
  vertices.data[0] = 0xFF;
  vertices.data[1] = 0xFF;
  Chunk faces = sgtest::FaceList({{0, 1, 2}, {2, 1, 65535}});
  faces.data[0] = 0xFF;
  faces.data[1] = 0xFF;
  contents.push_back(sgtest::Object("giant", Chunk(0x4100).Add(vertices).Add(faces)));
  contents.push_back(sgtest::Object("long", Chunk(0x4100).Length(0xFFFFFFFF).Add(vertices)));
  for (int i = 0; i < 1000; ++i)
    contents.push_back(sgtest::Object("o" + std::to_string(i), Chunk(0x4100).Add(vertices)));
  const Bytes model = sgtest::ModelFile(contents);
  const LoadedModel expected = ReadHere(model);
  ASSERT_EQ(expected.objects, "1002");
  ExpectModelShown(RunShow(ShortShow(FolderWith(kModel, model))), expected);
}

}  // namespace
