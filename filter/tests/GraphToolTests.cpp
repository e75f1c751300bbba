// sombrevox-graph as a user runs it: a separate process that creates the
// registered filter, runs the graph and writes what came out as a WAV file.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "GraphTestSupport.h"

namespace sombrevox::graphtest {
namespace {

struct ToolRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::string messages;  // what it wrote to its error stream
};

// Runs the tool with `arguments` and waits for it (at most 90 s, inside the watchdog's limit).
ToolRun RunTool(const TempFolder& folder, const std::string& arguments) {
  ToolRun run;
  const std::string errorsPath = folder.File("stderr.txt");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE errors = CreateFileA(errorsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, errors);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = errors;
  startup.hStdError = errors;
  std::string commandLine;
  commandLine.append("\"").append(GraphToolPath()).append("\" ").append(arguments);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(errors);
  EXPECT_TRUE(started) << "cannot start " << commandLine << ", error " << GetLastError();
  if (!started) return run;
  if (WaitForSingleObject(process.hProcess, 90000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
    ADD_FAILURE() << "sombrevox-graph did not finish within 90 s";
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::ifstream text(errorsPath);
  std::stringstream all;
  all << text.rdbuf();
  run.messages = all.str();
  return run;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

TEST(GraphTool, RendersAPresetIntoA16BitFile) {
  WavFormat format;  // 16-bit stereo 44100 Hz
  TempFolder folder;
  const std::vector<uint8_t> signal = MakeSignal(format, 1.0);
  const std::string in = WriteSignal(folder, "in.wav", format, signal);
  const std::string out = folder.File("out.wav");

  const ToolRun run = RunTool(folder, Quoted(in) + " " + Quoted(out) + " --preset \"011 - Hall\" --bench");
  ASSERT_EQ(0u, run.exitCode) << run.messages;
  EXPECT_NE(std::string::npos, run.messages.find("frames/s")) << run.messages;
  graph::WavContents written;
  std::string error;
  ASSERT_TRUE(graph::ReadWavFile(out, &written, &error)) << error;
  EXPECT_EQ(graph::kWavePcm, written.format.sampleTag);
  EXPECT_EQ(2, written.format.channels);
  EXPECT_EQ(44100u, written.format.samplesPerSec);
  EXPECT_EQ(16, written.format.bitsPerSample);
  EXPECT_TRUE(SameSamples(format, EngineReference(format, signal, PresetParams(11)), written.data));
}

TEST(GraphTool, RendersGivenParametersIntoAFloatFile) {
  WavFormat format;
  format.sampleTag = graph::kWaveIeeeFloat;
  format.bitsPerSample = 32;
  format.channels = 1;
  format.samplesPerSec = 22050;
  TempFolder folder;
  const std::vector<uint8_t> signal = MakeSignal(format, 1.0);
  const std::string in = WriteSignal(folder, "in.wav", format, signal);
  const std::string out = folder.File("out.wav");

  // The decay is beyond its range and is clamped, as the filter clamps.
  const ToolRun run =
      RunTool(folder, Quoted(in) + " " + Quoted(out) + " --preset 3 --params 50,500,8000,0.8,9000,0.4,0.6,-3");
  ASSERT_EQ(0u, run.exitCode) << run.messages;
  graph::WavContents written;
  std::string error;
  ASSERT_TRUE(graph::ReadWavFile(out, &written, &error)) << error;
  EXPECT_EQ(graph::kWaveIeeeFloat, written.format.sampleTag);
  EXPECT_EQ(2, written.format.channels);
  EXPECT_EQ(22050u, written.format.samplesPerSec);
  ReverbParams params{50, 500, 8000, 0.8, 8000, 0.4, 0.6, -3};
  EXPECT_TRUE(SameSamples(StereoOf(format), EngineReference(format, signal, params), written.data));
}

TEST(GraphTool, FailsWithStatusTwoAndWritesNothing) {
  TempFolder folder;
  WavFormat eightBit;
  eightBit.bitsPerSample = 8;
  const std::string refused = WriteSignal(folder, "8bit.wav", eightBit, MakeSignal(eightBit, 0.2));
  WavFormat format;
  const std::string good = WriteSignal(folder, "good.wav", format, MakeSignal(format, 0.2));
  const std::string out = folder.File("out.wav");
  struct Case {
    std::string arguments;
    const char* message;
  };
  const Case cases[] = {
      {Quoted(refused) + " " + Quoted(out), "refused the input format"},
      {Quoted(folder.File("missing.wav")) + " " + Quoted(out), "cannot open"},
      {Quoted(good) + " " + Quoted(out) + " --preset 24", "unknown factory preset"},
      {Quoted(good) + " " + Quoted(out) + " --params 1,2,3", "eight values"},
      {Quoted(good) + " " + Quoted(good), "overwrite the input"},
      {Quoted(good), "one input and one output"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(folder, c.arguments);
    EXPECT_EQ(2u, run.exitCode) << c.arguments << "\n" << run.messages;
    EXPECT_NE(std::string::npos, run.messages.find(c.message)) << c.arguments << "\n" << run.messages;
    EXPECT_FALSE(FileExists(out)) << c.arguments;
    EXPECT_FALSE(FileExists(out + ".part")) << c.arguments;
  }
}

}  // namespace
}  // namespace sombrevox::graphtest
