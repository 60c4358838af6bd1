// The plug-in in the real AviSynth+ host: the same bytes and the same error
// texts as through the local host, audio and parity passed through, and the
// same output when the host runs the filters on several threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/function_table.h"
#include "real_host.h"
#include "samples.h"
#include "support/host_test.h"

namespace pramvix::avsplus_test {
namespace {

using testing::LocalEnvironment;
using testing::MemoryClip;
using testing::Picture;

constexpr int kFrames = 24;  // frames of kBars

bool HasSample(const std::string& function) {
  return std::any_of(kSampleCalls.begin(), kSampleCalls.end(),
                     [&](const SampleCall& sample) { return function == sample.function; });
}

bool Registered(const std::string& function) {
  return std::any_of(kFunctionTable, kFunctionTable + kFunctionCount,
                     [&](const FunctionEntry& row) { return function == row.name; });
}

std::string Call(const std::string& function, const std::string& args) { return function + "(" + args + ")"; }

// A sample call's arguments, one by one; the clips among them start with a letter.
std::vector<std::string> ArgsOf(const SampleCall& sample) {
  std::vector<std::string> args;
  std::istringstream list(sample.args);
  for (std::string arg; std::getline(list >> std::ws, arg, ',');) args.push_back(arg);
  return args;
}

bool IsClip(const std::string& arg) { return std::isalpha(static_cast<unsigned char>(arg[0])); }

// An error text as the host reports it for a call placed after `clips`.
std::string Located(const std::string& text, const std::string& clips) {
  return text + "\n(test, line " + std::to_string(1 + std::count(clips.begin(), clips.end(), '\n')) + ")";
}

Picture PictureOf(const DumpedFrame& frame) { return Picture{frame.rowSize, frame.height, frame.bytes}; }

class RealHostTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(host.LoadPlugin(PRAMVIX_PLUGIN_PATH), ""); }

  // Frames `order` of the script's clip; an error fails the test.
  std::vector<DumpedFrame> Render(const std::string& script, const std::vector<int>& order) {
    std::vector<DumpedFrame> frames(order.size());
    const std::string error = host.Evaluate(script);
    EXPECT_EQ(error, "") << script;
    if (!error.empty()) return {};
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(host.Frame(order[i], &frames[i]), "") << script;
    return frames;
  }

  // A clip of the local host holding the real host's frames of `name`.
  PClip LocalClip(const std::string& clips, const std::string& name) {
    std::vector<Picture> pictures;
    for (const DumpedFrame& frame : Render(clips + name, Frames())) pictures.push_back(PictureOf(frame));
    return MemoryClip::Of(pictures);
  }

  // The sample call through the local host, on the real host's input frames.
  std::vector<Picture> RenderLocally(const std::string& clips, const SampleCall& sample) {
    LocalEnvironment local;
    local.LoadPlugin(PRAMVIX_PLUGIN_PATH);
    std::vector<AVSValue> args;
    for (const std::string& arg : ArgsOf(sample)) {
      const bool isFloat = arg.find('.') != std::string::npos;
      args.push_back(IsClip(arg) ? AVSValue(LocalClip(clips, arg)) : isFloat ? AVSValue(std::stof(arg)) : std::stoi(arg));
    }
    const PClip filter = local.Invoke(sample.function, args).AsClip();
    std::vector<Picture> pictures;
    for (int n = 0; n < kFrames; ++n) pictures.push_back(local::PictureOf(filter->GetFrame(n, &local)));
    return pictures;
  }

  static std::vector<int> Frames() {
    std::vector<int> order;
    for (int n = 0; n < kFrames; ++n) order.push_back(n);
    return order;
  }

  // Runs `check` for every registered function's sample call.
  template <class Check>
  void ForEachRegisteredSample(Check&& check) {
    for (const SampleCall& sample : kSampleCalls) {
      if (!Registered(sample.function)) continue;
      SCOPED_TRACE(sample.function);
      check(sample);
    }
  }

  // Every test's host also autoloads a plug-in that writes its own exported
  // AVS_linkage, as the host's bundled plug-ins do.
  RealHost host{PRAMVIX_AUTOLOAD_DIR};
};

// Loading ours (in SetUp) ran the autoload: the probe's entry point wrote its
// AVS_linkage and registered its function beside ours.
TEST_F(RealHostTest, EveryRegisteredFunctionIsKnownBesideAnAutoloadedPlugin) {
  EXPECT_TRUE(host.FunctionExists("PramvixAutoloadProbe"));
  EXPECT_EQ(host.Evaluate(Clips(kBars) + "PramvixAutoloadProbe() == 42 ? main : 0"), "");
  ASSERT_GT(kFunctionCount, 0u);
  for (size_t i = 0; i < kFunctionCount; ++i) {
    EXPECT_TRUE(host.FunctionExists(kFunctionTable[i].name)) << kFunctionTable[i].name;
    EXPECT_TRUE(HasSample(kFunctionTable[i].name)) << "no sample call for " << kFunctionTable[i].name;
  }
  for (const char* name : {"NoLogo", "NoLogoM", "LogoMask", "AddLogo", "IfLogo", "IfNoLogo", "NoLogoAuto"}) {
    EXPECT_TRUE(HasSample(name)) << name;
  }
}

// Every shape has frames whose pitch exceeds their row size; the crop's
// frames also start inside their parent's rows, and after KeepFrames others
// share the frames (so the host makes a copy to write). Prefetch(2) runs the
// filter on two threads at once, as its declared multithreading mode allows,
// frames asked for in order and then backwards. The frames the filters
// rewrite keep the main frame's properties (IfLogo and IfNoLogo return the
// main or the alternate frame as it is).
TEST_F(RealHostTest, EveryFunctionGivesTheLocalHostsBytesOnOneThreadOrTwo) {
  std::vector<int> order = Frames();
  for (int n = kFrames - 1; n >= 0; n -= 3) order.push_back(n);
  for (const std::string& shape : {std::string(), std::string(kCropped), std::string(".KeepFrames()")}) {
    const std::string clips = Clips(kBars, shape);
    const std::vector<DumpedFrame> input = Render(clips + "main", Frames());
    ASSERT_EQ(input.size(), static_cast<size_t>(kFrames));
    EXPECT_GT(input[0].pitch, input[0].rowSize);
    for (const std::string& threads : {std::string(), std::string(".Prefetch(2)")}) {
      SCOPED_TRACE("shape '" + shape + "'" + threads);
      ForEachRegisteredSample([&](const SampleCall& sample) {
        const std::vector<DumpedFrame> real = Render(clips + Call(sample.function, sample.args) + threads, order);
        for (const int n : {0, 5}) {
          int64_t mark = 0;
          if (std::string(sample.function).rfind("If", 0) == 0) break;
          EXPECT_EQ(host.IntProperty(n, kMarkProperty, &mark), "") << "frame " << n;
          EXPECT_EQ(mark, kMark) << "frame " << n;
        }
        const std::vector<Picture> local = RenderLocally(clips, sample);
        ASSERT_EQ(real.size(), order.size());
        int changed = 0;
        for (size_t i = 0; i < order.size(); ++i) {
          EXPECT_TRUE(PictureOf(real[i]) == local[order[i]]) << "frame " << order[i];
          changed += real[i].bytes != input[order[i]].bytes;
        }
        EXPECT_GT(changed, 0) << "the sample call changes no frame, so it shows nothing";
      });
    }
  }
}

// Frame errors reach every request, never a frame or another text, also
// while the host runs the filter on several threads. (Errors when a filter
// is built are the not-YUY2 test's.)
TEST_F(RealHostTest, ErrorsReachTheScriptsCallerWithTheFiltersText) {
  const std::string clips = Clips(kBars);
  int checked = 0;
  for (const ErrorCase& error : kErrorCases) {
    if (!Registered(error.function)) continue;
    for (const std::string& threads : {std::string(), std::string(".Prefetch(4)")}) {
      const std::string call = Call(error.function, error.args) + threads;
      SCOPED_TRACE(call);
      ASSERT_EQ(host.Evaluate(clips + call), "");
      for (int round = 0; round < (threads.empty() ? 1 : 3); ++round) {
        for (int n = 0; n < kFrames; ++n) {
          DumpedFrame frame;
          EXPECT_EQ(host.Frame(n, &frame), error.text) << "frame " << n;
        }
      }
    }
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

// Every frame and clip a filter was handed goes back to the host: once the
// script's clip is dropped, the frames the filter read are held by no one else.
TEST_F(RealHostTest, FiltersGiveBackEveryFrameAndClip) {
  // The measure itself: host filters alone give back everything.
  for (const char* control : {"main.KeepFrames().FlipVertical()", "Layer(main, logo.KeepFrames())"}) {
    const int before = host.KeptFrames();
    Render(Clips(kBars) + control, Frames());
    host.ReleaseClip();
    EXPECT_GT(host.KeptFrames(), before);
    EXPECT_EQ(host.KeptFramesStillShared(), 0) << control;
  }
  for (const std::string& threads : {std::string(), std::string(".Prefetch(2)")}) {
    ForEachRegisteredSample([&](const SampleCall& sample) {
      SCOPED_TRACE(threads);
      std::string args;
      for (const std::string& arg : ArgsOf(sample)) {
        args += (args.empty() ? "" : ", ") + arg + (IsClip(arg) ? ".KeepFrames()" : "");
      }
      const int before = host.KeptFrames();
      Render(Clips(kBars) + Call(sample.function, args) + threads, Frames());
      host.ReleaseClip();
      EXPECT_GT(host.KeptFrames(), before);
      EXPECT_EQ(host.KeptFramesStillShared(), 0);
    });
  }
}

TEST_F(RealHostTest, ClipsThatAreNotYUY2AreRefusedWithTheFiltersText) {
  for (const char* shape : {".ConvertToYV12()", ".ConvertToRGB32()"}) {
    const std::string clips = Clips(kBars, shape);
    ForEachRegisteredSample([&](const SampleCall& sample) {
      EXPECT_EQ(host.Evaluate(clips + Call(sample.function, sample.args)), Located(sample.notYUY2Text, clips)) << shape;
    });
  }
}

TEST_F(RealHostTest, DescriptionAudioAndParityAreTheFirstClips) {
  const std::string clips = Clips(kLongFields);
  ASSERT_EQ(host.Evaluate(clips + "main"), "");
  const ClipFacts facts = host.Facts();
  ASSERT_GT(facts.audioSamples, int64_t{INT_MAX}) << "positions beyond 32 bits need a longer clip";
  const int64_t start = facts.audioSamples - 5000;
  std::vector<uint8_t> audio;
  ASSERT_EQ(host.Audio(start, 1000, &audio), "");
  ASSERT_NE(audio, std::vector<uint8_t>(audio.size(), 0)) << "silence would show nothing";
  std::vector<bool> parity;
  for (int n = 0; n < 4; ++n) parity.push_back(host.Parity(n));
  ASSERT_NE(parity[0], parity[1]);

  ForEachRegisteredSample([&](const SampleCall& sample) {
    ASSERT_EQ(host.Evaluate(clips + Call(sample.function, sample.args)), "");
    EXPECT_TRUE(host.Facts() == facts);
    std::vector<uint8_t> filtered;
    ASSERT_EQ(host.Audio(start, 1000, &filtered), "");
    EXPECT_EQ(filtered, audio);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(host.Parity(n), parity[n]) << "frame " << n;
  });
}

}  // namespace
}  // namespace pramvix::avsplus_test
