// `sound IN OUT.wav` converts any sample file the engine decodes into the
// native WAV (11025 Hz, 8-bit, mono) that loads without conversion, and
// `sound --check FILE...` reports on files without writing anything.
#include "tools/sound_command.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/sound_file.h"
#include "tools/commands.h"
#include "tools/file_io.h"

namespace tools {
namespace {

const char kSoundUsage[] = "usage: lunashot-pack sound IN OUT.wav | sound --check FILE...\n";

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", s);
  return text;
}

std::string Describe(const base::SoundSource& s) {
  return s.format + ", " + s.encoding + ", " + std::to_string(s.rate) + " Hz, " +
         std::to_string(s.channels) + (s.channels == 1 ? " channel, " : " channels, ") +
         Seconds(s.Seconds());
}

// Whether two names lead to the same file (an existing output that is the
// input, through a link or another spelling of the path).
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

int Usage(std::ostream& err, const std::string& message) {
  err << "lunashot-pack: " << message << "\n" << kSoundUsage;
  return kUsage;
}

}  // namespace

int SoundCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool check = false;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--check") {
      if (check) return Usage(err, "--check is given twice");
      check = true;
    } else if (args[i].size() > 2 && args[i].compare(0, 2, "--") == 0) {
      return Usage(err, "unknown option " + args[i] + " for sound");
    } else {
      files.push_back(args[i]);
    }
  }
  std::vector<std::int8_t> samples;
  base::SoundSource source;
  std::string error;
  if (check) {
    if (files.empty()) return Usage(err, "expected sound --check FILE...");
    int status = kOk;
    for (const std::string& f : files) {
      if (base::DecodeSoundFile(f, &samples, &source, &error)) {
        out << f << ": " << Describe(source) << ": "
            << (source.native ? "native, loads as it is" : "loads, converted to 11025 Hz 8-bit mono")
            << "\n";
      } else {
        err << "lunashot-pack: " << f << ": cannot be used: " << error << "\n";
        status = kFailed;
      }
    }
    return status;
  }
  if (files.size() != 2) return Usage(err, "expected sound IN OUT.wav");
  const std::string& in = files[0];
  const std::string& output = files[1];
  if (SameFile(in, output)) return Usage(err, output + ": the output would overwrite the input");
  if (!base::DecodeSoundFile(in, &samples, &source, &error)) {
    err << "lunashot-pack: " << in << ": cannot be used: " << error << "\n";
    return kFailed;
  }
  out << in << ": " << Describe(source) << "\n";
  if (!WriteFileAtomic(output, base::EncodeNativeWav(samples), &error)) {
    err << "lunashot-pack: " << error << "\n";
    return kFailed;
  }
  out << output << ": " << samples.size() << " samples, 11025 Hz 8-bit mono, "
      << Seconds(double(samples.size()) / base::kNativeSoundRate) << "\n";
  return kOk;
}

}  // namespace tools
