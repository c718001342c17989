// The stand-in soundtrack and sound sample, synthesised from a fixed score and
// fixed noise seeds: the same bytes on every run, in a second or two. Written
// as 16-bit mono PCM WAV files at 44.1 kHz; the soundtrack is then encoded to
// MP3 by lame. Any single thread.
#pragma once

#include <string>

namespace sgcontent {

// About three minutes of music: drums, bass, chords and a lead.
bool WriteSoundtrackWav(const std::string& path, std::string& error);
// A short chime (about 1.2 seconds) played on a key.
bool WriteSampleWav(const std::string& path, std::string& error);

}  // namespace sgcontent
