// `sound IN OUT.wav` converts any sample file the engine decodes into the
// native WAV (11025 Hz, 8-bit, mono) that loads without conversion, and
// `sound --check FILE...` reports on files without writing anything.
#include "tools/sound_command.h"

#include <cstdio>

#include "base/sound_file.h"
#include "tools/commands.h"
#include "tools/output_guard.h"
#include "tools/png_io.h"

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

// Where a looped play starts again, when not at the start.
std::string Loop(const base::SoundSource& s) {
  if (s.loop_start == 0) return "";
  return ", looping from sample " + std::to_string(s.loop_start) + " (" +
         Seconds(double(s.loop_start) / base::kNativeSoundRate) + ")";
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
            << (source.native ? "native, loads as it is"
                              : "loads, converted to 11025 Hz 8-bit mono")
            << Loop(source) << "\n";
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
  // Never over the input, nor over a file of another kind.
  if (!CheckOutput(output, OutputKind::kSound, {in}, &error)) return Usage(err, error);
  if (!base::DecodeSoundFile(in, &samples, &source, &error)) {
    err << "lunashot-pack: " << in << ": cannot be used: " << error << "\n";
    return kFailed;
  }
  out << in << ": " << Describe(source) << "\n";
  if (!WriteOutput(output, base::EncodeNativeWav(samples, source.loop_start), &error)) {
    err << "lunashot-pack: " << error << "\n";
    return kFailed;
  }
  out << output << ": " << samples.size() << " samples, 11025 Hz 8-bit mono, "
      << Seconds(double(samples.size()) / base::kNativeSoundRate) << Loop(source) << "\n";
  return kOk;
}

}  // namespace tools
