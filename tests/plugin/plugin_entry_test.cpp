#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shared_library.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

// The script functions as a host sees them after loading the library.
const std::vector<std::pair<std::string, std::string>> kExpectedTable = {
    {"NoLogo", "cciiiiii"},
    {"NoLogoM", "cciiiiiifii"},
    {"LogoMask", "ccciiiiii"},
    {"AddLogo", "ccifiiiii"},
    {"IfLogo", "ccciiiiiii"},
    {"IfNoLogo", "ccciiiiiii"},
    {"NoLogoAuto", "cci"},
    {"NoLogoColor", "cciiiiiifii"},
};

TEST(PluginEntry, RegistersTheFunctionTableInOrder) {
  LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  std::vector<std::pair<std::string, std::string>> seen;
  for (const auto& function : host.Functions()) {
    seen.emplace_back(function.name, function.params);
    EXPECT_EQ(function.userData, nullptr);
  }
  EXPECT_EQ(seen, kExpectedTable);
}

// Nothing of ours but the entry points is visible. AviSynth+ tries the C++
// entry points before the C ones: the library must offer only the latter
// (when built with the AviSynth+ headers).
TEST(PluginEntry, ExportsOnlyItsEntryPoints) {
  std::string reason;
  void* library = local::OpenLibrary(PRAMVIX_PLUGIN_PATH, &reason);
  ASSERT_NE(library, nullptr) << reason;
  using Init = const char* (*)(IScriptEnvironment*);
  auto init = reinterpret_cast<Init>(local::FindSymbol(library, "AvisynthPluginInit"));
  ASSERT_NE(init, nullptr);
  LocalEnvironment host;
  EXPECT_EQ(init(&host), nullptr);
  EXPECT_EQ(local::FindSymbol(library, "_ZN7pramvix17RegisterFunctionsEPNS_18IScriptEnvironmentE"), nullptr);
  const bool cInterface = local::FindSymbol(library, "avisynth_c_plugin_init2") != nullptr;
  EXPECT_EQ(local::FindSymbol(library, "avisynth_c_plugin_init") != nullptr, cInterface);
  for (const char* cpp : {"AvisynthPluginInit3", "AvisynthPluginInit2", "AVS_linkage"}) {
    EXPECT_EQ(local::FindSymbol(library, cpp), nullptr) << cpp;
  }
  local::CloseLibrary(library);
  if (!cInterface) GTEST_SKIP() << "built without the AviSynth+ headers: no C-interface entry points";
}

TEST(PluginEntry, AFilterFromTheLibraryReleasesItsClipsWhenReleased) {
  LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  const LiveCounts before;
  {
    const PClip main = ClipOf(Picture::YUY2(8, 2, 100));
    const PClip logo = ClipOf(Picture::YUY2(8, 2));
    AVSValue value = host.Invoke("NoLogo", {main, logo, 0, 0, 2, 0, 4, 2});
    ASSERT_TRUE(value.IsClip());
    EXPECT_EQ(main.use_count(), 2);
    EXPECT_EQ(logo.use_count(), 2);
    EXPECT_EQ(value.AsClip().use_count(), 2);  // the value's count and this copy's
    EXPECT_EQ(local::PictureOf(value.AsClip()->GetFrame(0, &host)).Luma(0, 5), 155);  // inverted, not softened
    value = AVSValue();
    EXPECT_EQ(main.use_count(), 1);
    EXPECT_EQ(logo.use_count(), 1);
  }
  EXPECT_TRUE(LiveCounts() == before);
}

}  // namespace
}  // namespace pramvix::testing
