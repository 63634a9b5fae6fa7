#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/image.h"
#include "platform/key_map.h"
#include "platform/sdl_wave_player.h"
#include "screen/render.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using screen::Color;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kTwips = screen::kTwipsPerPixel;

// A full-screen form of whatever controls a test gives it, drawn frames first, then labels,
// pictures, text boxes and videos.
class TestForm : public screen::Form {
 public:
  explicit TestForm(Color color, bool full = true) {
    full_screen = full;
    background = color;
  }
  std::vector<screen::Frame> frames;
  std::vector<screen::Label> labels;
  std::vector<screen::Picture> pictures;
  std::vector<screen::TextBox> boxes;
  std::vector<screen::Video> videos;

  void Accept(screen::FormVisitor& visitor) const override {
    for (const auto& frame : frames) visitor.Visit(frame);
    for (const auto& label : labels) visitor.Visit(label);
    for (const auto& picture : pictures) visitor.Visit(picture);
    for (const auto& box : boxes) visitor.Visit(box);
    for (const auto& video : videos) visitor.Visit(video);
  }
};

// Pictures of one colour, 16x9 pixels, made when the test says.
class OneColourVideo : public VideoSource {
 public:
  int64_t PicturesMade() const override { return made; }
  int PictureWidth() const override { return 16; }
  int PictureHeight() const override { return 9; }
  bool DrawPicture(int width, int height, int pitch, void* pixels) override {
    const uint32_t xrgb = colour.r << 16 | colour.g << 8 | colour.b;
    for (int y = 0; y < height; ++y)
      std::fill_n(static_cast<uint32_t*>(pixels) + y * pitch / 4, width, xrgb);
    return true;
  }
  int64_t made = 0;
  Color colour{0, 160, 80};
};

struct Rect {
  int x, y, w, h;
};
constexpr Rect kAll{0, 0, kWidth, kHeight};

// `control` in the box `r`, given in pixels.
template <typename Control>
Control At(Control control, Rect r) {
  control.left = r.x * kTwips;
  control.top = r.y * kTwips;
  control.width = r.w * kTwips;
  control.height = r.h * kTwips;
  return control;
}

screen::Label LabelAt(Rect r, std::string caption, Color color = screen::kText,
                      screen::Align align = screen::Align::kLeft) {
  return At(
      screen::Label{.points = 18, .align = align, .color = color, .caption = caption, .tag = ""},
      r);
}

// The columns and rows of `rect` where `image` differs from `background`: the ink of what
// was drawn there.
struct Ink {
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1, pixels = 0;
};
Ink InkIn(const Image& image, Rect rect, Color background) {
  Ink ink;
  for (int y = rect.y; y < rect.y + rect.h; ++y) {
    for (int x = rect.x; x < rect.x + rect.w; ++x) {
      if (image.At(x, y) == background) continue;
      ++ink.pixels;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

class SdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A shell starts a background job with SIGINT ignored, and SDL leaves an ignored signal be.
    std::signal(SIGINT, SIG_DFL);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("JUBO_WINDOW", (std::to_string(kWidth) + "x" + std::to_string(kHeight)).c_str(), 1);
    std::string error;
    platform_ = SdlPlatform::Create(&error);
    ASSERT_NE(platform_, nullptr) << error;
  }

  // What the screen shows, with `form` shown on top for the picture.
  Image Screenshot(const screen::Form* form = nullptr) {
    if (form != nullptr) platform_->Show(form);
    const std::string path = (dir_.path() / "screen.png").string();
    std::string error;
    Image image;
    EXPECT_TRUE(platform_->SaveScreenshot(path, &error)) << error;
    EXPECT_TRUE(ReadImage(path, &image, &error)) << error;
    if (form != nullptr) platform_->Hide(form);
    return image;
  }

  // Runs the loop until `done`, failing instead of hanging when it does not come.
  void RunUntil(
      const std::function<bool()>& done,
      const ground::EventLoop::KeyHandler& on_key = [](int16_t, int16_t) {}) {
    bool timed_out = false;
    const int guard = platform_->StartTimer(10000, [&] { timed_out = true; });
    platform_->RunUntil(on_key, [&] { return timed_out || done(); });
    platform_->StopTimer(guard);
    EXPECT_FALSE(timed_out) << "the loop never got where the test waited for";
  }

  jubo_test::TempDir dir_;
  std::unique_ptr<SdlPlatform> platform_;
};

TEST_F(SdlPlatformTest, DrawsFramesAndPicturesWhereTheFormPutsThem) {
  const Color kBorder{255, 0, 0}, kFill{0, 0, 255};
  TestForm form(screen::kBackground);
  form.frames = {
      At(screen::Frame{.border = 4, .border_color = kBorder, .filled = true, .fill = kFill},
         {20, 20, 200, 100}),
      At(screen::Frame{.filled = true, .visible = false}, {300, 20, 200, 100})};
  form.pictures = {At(screen::Picture{.asset = "selected"}, {40, 300, 60, 60}),
                   At(screen::Picture{.asset = "no-such-picture"}, {140, 300, 60, 60})};
  form.labels = {LabelAt({300, 400, 300, 60}, "Not shown", kBorder)};
  form.labels[0].visible = false;
  form.videos = {At(screen::Video{}, {300, 200, 160, 90}), At(screen::Video{}, {500, 200, 32, 18})};
  OneColourVideo video;
  platform_->SetVideoSource(&video);
  const Image image = Screenshot(&form);
  struct Probe {
    const char* what;
    int x, y;
    Color expected;
  };
  const Probe kProbes[] = {
      {"outside everything", 5, 5, screen::kBackground},
      {"frame's top left corner", 20, 20, kBorder},
      {"frame's top border, inner row", 120, 23, kBorder},
      {"frame's bottom right corner", 219, 119, kBorder},
      {"frame's fill, just inside the border", 24, 24, kFill},
      {"just right of the frame", 220, 70, screen::kBackground},
      {"just below the frame", 120, 120, screen::kBackground},
      {"a hidden frame", 320, 30, screen::kBackground},
      {"top of the selected icon's amber disc", 70, 312, Color{255, 196, 64}},
      {"corner of the icon's box (transparent)", 41, 301, screen::kBackground},
      {"a picture whose file is missing", 170, 330, screen::kBackground},
      {"a video's picture, scaled up, top left", 300, 200, video.colour},
      {"a video's picture, scaled up, bottom right", 459, 289, video.colour},
      {"right of the video", 460, 250, screen::kBackground},
      {"a smaller video", 510, 210, video.colour},
  };
  for (const Probe& p : kProbes) {
    const Color got = image.At(p.x, p.y);
    EXPECT_EQ(got, p.expected) << p.what << " at " << p.x << "," << p.y << ": got " << int(got.r)
                               << "," << int(got.g) << "," << int(got.b);
  }
  EXPECT_EQ(InkIn(image, {300, 400, 300, 60}, screen::kBackground).pixels, 0) << "hidden label";
}

// A caption is drawn in its label's colour, aligned, centred on the label's height and cut at
// its box; a caption that fits ends where the program measured it would.
TEST_F(SdlPlatformTest, LabelsAreAlignedCentredCutAtTheirBoxAndMeasuredAsDrawn) {
  struct Case {
    std::string caption;
    screen::Align align;
    bool bold;
  };
  const std::string kLong = "Jubo Music Player Jubo Music Player";
  const Case kCases[] = {
      {"Jubo", screen::Align::kLeft, false},   {"Albums>", screen::Align::kLeft, true},
      {"Jubo", screen::Align::kCenter, false}, {"Jubo", screen::Align::kRight, false},
      {kLong, screen::Align::kLeft, false},    {kLong, screen::Align::kRight, true},
  };
  const Rect box{200, 200, 160, 60};
  const Color kInk{255, 255, 255};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.caption + " aligned " + std::to_string(int(c.align)));
    TestForm form(screen::kBlack);
    form.labels = {LabelAt(box, c.caption, kInk, c.align)};
    form.labels[0].bold = c.bold;
    const Image image = Screenshot(&form);
    const Ink inside = InkIn(image, box, screen::kBlack);
    ASSERT_GT(inside.pixels, 0);
    EXPECT_EQ(InkIn(image, kAll, screen::kBlack).pixels, inside.pixels) << "outside";
    EXPECT_GT(box.w * box.h - InkIn(image, box, kInk).pixels, 20) << "not its colour";
    const int left_gap = inside.left - box.x, right_gap = box.x + box.w - 1 - inside.right;
    EXPECT_NEAR(inside.top - box.y, box.y + box.h - 1 - inside.bottom, 12) << "not centred";
    const int off_by = c.align == screen::Align::kLeft    ? left_gap
                       : c.align == screen::Align::kRight ? right_gap
                                                          : std::abs(left_gap - right_gap);
    EXPECT_LE(off_by, 3) << "not aligned";
    if (c.align == screen::Align::kLeft && c.caption != kLong) {
      const int measured = platform_->WidthTwips(c.caption, 18, c.bold) / kTwips;
      EXPECT_LE(inside.right - box.x + 1, measured + 1);
      EXPECT_GE(inside.right - box.x + 1, measured - 4);
    }
  }
}

TEST_F(SdlPlatformTest, TextBoxWrapsItsTextAndShowsFromItsFirstLine) {
  TestForm form(screen::kBlack);
  form.boxes = {At(screen::TextBox{.points = 12, .line_height = 24 * kTwips, .visible = true},
                   {20, 20, 200, 400})};
  // Wrapped with this platform's measure, the lines fit the box as drawn.
  screen::SetBoxText(form.boxes[0], *platform_,
                     "Setup\nPut jubodb.txt in the program's folder and start the program again. "
                     "Every list comes from that one file.\n\nKeys\nUp and Down move.");
  // Lines of ink, from the top: runs of rows with ink, one per line of text.
  auto lines_of_ink = [&](int first_line) {
    form.boxes[0].first_line = first_line;
    const Image image = Screenshot(&form);
    EXPECT_EQ(InkIn(image, {221, 0, kWidth - 221, kHeight}, screen::kBlack).pixels, 0)
        << "ink right of the box";
    int lines = 0;
    for (int y = 0, in_line = 0; y < kHeight; ++y) {
      const int ink = InkIn(image, {0, y, kWidth, 1}, screen::kBlack).pixels > 0;
      lines += ink > in_line;
      in_line = ink;
    }
    return lines;
  };
  const int all = lines_of_ink(0);
  EXPECT_GE(all, 6) << "two headings, the wrapped paragraph and the last line";
  EXPECT_EQ(lines_of_ink(1), all - 1);
  EXPECT_EQ(lines_of_ink(1000), 0);
}

TEST_F(SdlPlatformTest, DialogsAreCentredAndTheLastShownFormIsOnTop) {
  const Color kA{10, 20, 30}, kB{40, 50, 60};
  TestForm a(kA), b(kB), dialog(screen::kRed, false);
  dialog.width = 200 * kTwips;
  dialog.height = 100 * kTwips;
  struct Step {
    const char* what;
    std::function<void()> act;
    Color on_top;
  };
  const Step kSteps[] = {
      {"show a", [&] { platform_->Show(&a); }, kA},
      {"show b", [&] { platform_->Show(&b); }, kB},
      {"show a again", [&] { platform_->Show(&a); }, kA},
      {"hide a", [&] { platform_->Hide(&a); }, kB},
      {"hide a twice", [&] { platform_->Hide(&a); }, kB},
      {"hide b", [&] { platform_->Hide(&b); }, screen::kBlack},
      {"b, then a dialog", [&] { platform_->Show(&b); }, kB},
      {"the dialog over b", [&] { platform_->Show(&dialog); }, screen::kRed},
  };
  for (const Step& step : kSteps) {
    step.act();
    EXPECT_EQ(Screenshot().At(kWidth / 2, kHeight / 2), step.on_top) << step.what;
  }
  const Ink area = InkIn(Screenshot(), kAll, kB);
  EXPECT_EQ(std::tie(area.left, area.right, area.top, area.bottom, area.pixels),
            std::make_tuple(220, 419, 190, 289, 200 * 100));
}

TEST_F(SdlPlatformTest, AFrameIsPresentedOnlyWhenWhatShowsChanges) {
  TestForm main(screen::kBackground), dialog(screen::kRed, false), cover(screen::kBlack);
  dialog.width = dialog.height = 100 * kTwips;
  main.labels = {LabelAt({10, 10, 200, 30}, "00:01"), LabelAt({10, 50, 200, 30}, "")};
  main.labels[1].visible = false;
  main.videos = {At(screen::Video{}, {300, 10, 160, 90})};
  OneColourVideo video;
  platform_->SetVideoSource(&video);
  platform_->Show(&main);
  // Frames presented while a timer ticks three times, the first tick making `change`.
  auto frames_over_ticks = [&](const std::function<void()>& change) {
    const int64_t before = platform_->FramesPresented();
    int ticks = 0;
    const int timer = platform_->StartTimer(1, [&] {
      if (++ticks == 1) change();
    });
    RunUntil([&] { return ticks == 3; });
    platform_->StopTimer(timer);
    return platform_->FramesPresented() - before;
  };
  frames_over_ticks([] {});  // the first picture, and the window's own first events
  struct Step {
    const char* what;
    std::function<void()> change;
    int64_t frames;
  };
  const Step kSteps[] = {
      {"nothing", [] {}, 0},
      {"a caption set to the text it shows", [&] { main.labels[0].caption = "00:01"; }, 0},
      {"a hidden label's caption", [&] { main.labels[1].caption = "hidden"; }, 0},
      {"a caption changed", [&] { main.labels[0].caption = "00:02"; }, 1},
      {"a label moved", [&] { main.labels[0].left += kTwips; }, 1},
      {"a dialog shown", [&] { platform_->Show(&dialog); }, 1},
      {"the dialog hidden", [&] { platform_->Hide(&dialog); }, 1},
      {"a new picture", [&] { ++video.made; }, 1},
      {"the video hidden", [&] { main.videos[0].visible = false; }, 1},
      {"a new picture, the video hidden", [&] { ++video.made; }, 0},
      {"a full-screen form shown over it", [&] { platform_->Show(&cover); }, 1},
      {"a caption changed under that form", [&] { main.labels[0].caption = "00:03"; }, 0},
  };
  for (const Step& step : kSteps) {
    EXPECT_EQ(frames_over_ticks(step.change), step.frames) << step.what;
  }
}

TEST_F(SdlPlatformTest, KeysClicksAndQuitRequestsReachTheirHandlers) {
  for (const char* name : {"1", "Up", "F1", "Keypad Enter", "AudioPlay"}) {
    platform_->PushKeyDown(SdlKeycodeNamed(name));
  }
  platform_->PushKeyDown(SdlKeycodeNamed("a"), true);
  std::vector<std::pair<int, int>> got;
  RunUntil([&] { return got.size() == 4; },
           [&](int16_t code, int16_t shift) { got.emplace_back(code, shift); });
  const std::vector<std::pair<int, int>> expected = {{38, 0}, {13, 0}, {'P', 0}, {65, 1}};
  EXPECT_EQ(got, expected) << "digits and F1 are not delivered";

  int clicks = 0, quits = 0;
  platform_->SetClickHandler([&] { ++clicks; });
  platform_->SetQuitHandler([&] { ++quits; });
  platform_->PushClick();
  RunUntil([&] { return clicks == 1; });
  for (int signal : {SIGTERM, SIGINT}) {
    const int before = quits;
    std::raise(signal);
    RunUntil([&] { return quits == before + 1; });
  }
}

TEST_F(SdlPlatformTest, AModalLoopInsideAKeyHandlerGetsTheKeysAndTheTimers) {
  platform_->PushKeyDown(SdlKeycodeNamed("Return"));
  platform_->PushKeyDown(SdlKeycodeNamed("Up"));
  std::vector<int> outer_keys, inner_keys;
  int ticks = 0;
  RunUntil([&] { return outer_keys.size() == 2; },
           [&](int16_t code, int16_t) {
             outer_keys.push_back(code);
             if (code != 13) return;
             // The dialog's timer presses Escape, which closes it, then Down, for the main loop.
             const int timer = platform_->StartTimer(5, [&] {
               if (++ticks > 1) return;
               platform_->PushKeyDown(SdlKeycodeNamed("Escape"));
               platform_->PushKeyDown(SdlKeycodeNamed("Down"));
             });
             RunUntil([&] { return !inner_keys.empty() && inner_keys.back() == 27; },
                      [&](int16_t inner, int16_t) { inner_keys.push_back(inner); });
             platform_->StopTimer(timer);
           });
  EXPECT_EQ(outer_keys, (std::vector<int>{13, 40}));
  EXPECT_EQ(inner_keys, (std::vector<int>{38, 27}));
}

// Posted from another thread, as the remote control and libmpv post: tasks run on the loop's
// thread, keys reach the innermost loop, both in the order posted; and a task that posts
// itself again leaves room for keys and timers.
TEST_F(SdlPlatformTest, PostedTasksAndKeysKeepTheirOrderAndReachTheInnermostLoop) {
  const std::thread::id loop_thread = std::this_thread::get_id();
  std::vector<std::string> log;
  std::thread remote([&] {
    platform_->Post([&] {
      log.push_back("task 1");
      EXPECT_EQ(std::this_thread::get_id(), loop_thread);
    });
    platform_->PostKey(13);  // the main screen opens a dialog on Enter
    platform_->PostKey(38);
    platform_->Post([&] { log.push_back("task 2"); });
    platform_->PostKey(27);  // the dialog closes on Escape
    platform_->PostKey(40);
  });
  RunUntil([&] { return log.size() == 6; },
           [&](int16_t code, int16_t shift) {
             log.push_back("main " + std::to_string(code) + "/" + std::to_string(shift));
             if (code != 13) return;
             bool closed = false;
             RunUntil([&] { return closed; },
                      [&](int16_t inner, int16_t) {
                        log.push_back("dialog " + std::to_string(inner));
                        closed = inner == 27;
                      });
           });
  remote.join();
  const std::vector<std::string> expected = {"task 1", "main 13/0", "dialog 38",
                                             "task 2", "dialog 27", "main 40/0"};
  EXPECT_EQ(log, expected);

  int ticks = 0;
  std::vector<int> keys;
  std::function<void()> again = [&] { platform_->Post(again); };
  platform_->Post(again);
  platform_->PushKeyDown(SdlKeycodeNamed("Up"));
  platform_->StartTimer(5, [&] { ++ticks; });
  RunUntil([&] { return !keys.empty() && ticks > 0; },
           [&](int16_t code, int16_t) { keys.push_back(code); });
  EXPECT_EQ(keys, std::vector<int>{38});
}

TEST(SdlPlatformOpenTest, FullScreenOnTheDesktopOrAWindowOfAGoodSize) {
  struct Case {
    const char* text;
    int width, height;  // 0 when refused
  };
  std::vector<Case> cases = {{"1280x720", 1280, 720}, {"16384x16384", 16384, 16384}};
  for (const char* refused :
       {"", "0x720", "1280x720x3", "16385x100", "99999999999x1", "1280x", "-5x720", "1280x720 "}) {
    cases.push_back({refused, 0, 0});
  }
  for (const Case& c : cases) {
    int width = 0, height = 0;
    EXPECT_EQ(ParseWindowSize(c.text, &width, &height), c.width > 0) << '"' << c.text << '"';
    EXPECT_EQ(std::pair(width, height), std::pair(c.width, c.height)) << c.text;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  std::string error;
  unsetenv("JUBO_WINDOW");
  {
    auto platform = SdlPlatform::Create(&error);
    ASSERT_NE(platform, nullptr) << error;
    EXPECT_GT(platform->WidthPixels(), 0);
    EXPECT_GT(platform->HeightPixels(), 0);
  }
  setenv("JUBO_WINDOW", "big", 1);
  EXPECT_EQ(SdlPlatform::Create(&error), nullptr);
  EXPECT_NE(error.find("JUBO_WINDOW"), std::string::npos) << error;
}

TEST(KeyMapTest, KeysTheProgramHearsAndTheRestIgnored) {
  struct Case {
    const char* sdl_name;
    int16_t code;
  };
  std::vector<Case> cases = {
      {"Return", 13},
      {"Keypad Enter", 13},
      {"Escape", 27},
      {"PageUp", 33},
      {"PageDown", 34},
      {"Left", 37},
      {"Up", 38},
      {"Right", 39},
      {"Down", 40},
      {"A", 65},
      {"M", 77},
      {"Z", 90},
      {"AudioPlay", 'P'},
      {"AudioStop", 'S'},
      {"AudioNext", 'N'},
      {"AudioPrev", 'B'},
      {"AudioFastForward", 'F'},
      {"AudioRewind", 'R'},
      {"AC Back", 37},
      {"AC Home", 'M'},
  };
  for (const char* ignored : {"0", "5", "9", "Keypad 8", "Space", "Tab", "Backspace", "F1", "Home",
                              "End", "Left Shift", "Delete", "AudioMute", "-", "Keypad +"}) {
    cases.push_back({ignored, 0});
  }
  for (const Case& c : cases) {
    const int32_t sdl_key = SdlKeycodeNamed(c.sdl_name);
    ASSERT_NE(sdl_key, 0) << "SDL knows no key named " << c.sdl_name;
    EXPECT_EQ(ProgramKeyCode(sdl_key), c.code) << c.sdl_name;
  }
}

TEST(SdlWavePlayerTest, RefusesWhatCannotBePlayed) {
  setenv("JUBO_AUDIO_OUTPUT", "null", 1);
  jubo_test::TempDir dir;
  dir.Write("garbage.wav", "RIFF\x10\0\0\0WAVEnot a sound at all");  // a header and no sound
  SdlWavePlayer player;
  for (const char* name : {"missing.wav", "garbage.wav"}) {
    std::string error;
    EXPECT_FALSE(player.Play((dir.path() / name).string(), &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << name << ": " << error;
    EXPECT_EQ(player.Sounding(), "") << name;
  }
}

}  // namespace
}  // namespace platform
