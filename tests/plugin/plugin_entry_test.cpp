#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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

TEST(PluginEntry, ExportsTheEntryPointThatReturnsZero) {
  void* library = dlopen(PRAMVIX_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Init = const char* (*)(IScriptEnvironment*);
  auto init = reinterpret_cast<Init>(dlsym(library, "AvisynthPluginInit"));
  ASSERT_NE(init, nullptr);
  LocalEnvironment host;
  EXPECT_EQ(init(&host), nullptr);
  // Nothing of ours but the entry points is visible.
  EXPECT_EQ(dlsym(library, "_ZN7pramvix17RegisterFunctionsEPNS_18IScriptEnvironmentE"), nullptr);
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

TEST(PluginEntry, HostChecksArgumentsAgainstTheTypeString) {
  LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  const PClip clip = ClipOf(Picture::YUY2(8, 2));
  auto errorOf = [&](const std::string& name, const std::vector<AVSValue>& args) -> std::string {
    try {
      host.Invoke(name, args);
    } catch (const HostError& error) {
      return error.what();
    }
    return "";
  };
  EXPECT_EQ(errorOf("NoLogo", {clip, clip, 0, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(errorOf("NoLogo", {clip, clip, 0, 0.5f, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(errorOf("NoLogo", {clip, 3, 0, 0, 0, 0, 0, 0}), "Invalid arguments to function 'NoLogo'");
  EXPECT_EQ(errorOf("Nothing", {}), "There is no function named 'Nothing'");
  EXPECT_TRUE(local::Matches('f', AVSValue(2)));
  EXPECT_TRUE(local::Matches('f', AVSValue(2.5f)));
  EXPECT_FALSE(local::Matches('i', AVSValue(2.5f)));
}

}  // namespace
}  // namespace pramvix::testing
