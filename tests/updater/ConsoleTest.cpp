// Where the updater's messages go: a message box when there is a display,
// standard error otherwise.
#include "updater/Console.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/ScriptedUi.h"

namespace {

// Sets or clears environment variables for one test and restores them.
class Environment {
 public:
  void Set(const char* name, const char* value) {
    if (!saved_.contains(name)) saved_.emplace(name, Saved{qEnvironmentVariableIsSet(name), qgetenv(name)});
    if (value != nullptr) {
      qputenv(name, value);
    } else {
      qunsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, s] : saved_) {
      if (s.set) {
        qputenv(name.c_str(), s.value);
      } else {
        qunsetenv(name.c_str());
      }
    }
  }

 private:
  struct Saved {
    bool set;
    QByteArray value;
  };
  std::map<std::string, Saved> saved_;
};

TEST(Console, MessageBoxOnlyWithADisplaySomeoneSees) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* platform;
    bool box;
  };
  const Case cases[] = {
      {":0", nullptr, nullptr, true},
      {nullptr, "wayland-0", nullptr, true},
      {":0", nullptr, "xcb", true},
      {nullptr, nullptr, nullptr, false},
      {"", "", nullptr, false},
      {":0", nullptr, "offscreen", false},
      {nullptr, "wayland-0", "minimal", false},
  };
  for (const Case& c : cases) {
    Environment env;
    env.Set("DISPLAY", c.display);
    env.Set("WAYLAND_DISPLAY", c.wayland);
    env.Set("QT_QPA_PLATFORM", c.platform);
    EXPECT_EQ(updater::HasMessageBoxService(), c.box)
        << (c.display ? c.display : "-") << ' ' << (c.wayland ? c.wayland : "-") << ' '
        << (c.platform ? c.platform : "-");
  }
}

TEST(Console, MessageBoxCarriesCaptionAndText) {
  test::ScriptedUi ui;
  updater::MessageBoxMessenger()(QStringLiteral("update KELDORAN GRAPH2"),
                                 QStringLiteral("There is not enough disk space"));
  ASSERT_EQ(ui.Messages().size(), 1u);
  const os::MessageRequest& box = ui.Messages()[0];
  EXPECT_EQ(box.caption, QStringLiteral("update KELDORAN GRAPH2"));
  EXPECT_EQ(box.text, QStringLiteral("There is not enough disk space"));
  EXPECT_EQ(box.icon, os::MsgIcon::None);
  EXPECT_EQ(box.buttons, os::MsgButtons::Ok);
  EXPECT_EQ(box.owner, nullptr);
}

}  // namespace
