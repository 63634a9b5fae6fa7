#include "platform/sdl_platform.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/asset_folder.h"
#include "platform/font_set.h"
#include "platform/form_painter.h"
#include "platform/key_map.h"
#include "platform/timer_queue.h"

namespace platform {
namespace {

constexpr const char* kTitle = "Jubo Music Player";
constexpr int kMaxWindowSide = 16384;
// The loop wakes at least this often even with nothing to do, so that a wake-up lost to a
// full SDL queue only delays a posted task (and, on a driver SDL cannot wait on, so that a
// quit request from a signal is seen).
constexpr int kMaxWaitMs = 1000;
// Events handled before the loop runs its tasks and timers and redraws.
constexpr int kMaxBatch = 64;

bool ParseSide(std::string_view text, int* side) {
  if (text.empty() || text.size() > 5) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *side);
  return error == std::errc() && end == text.data() + text.size() && *side >= 1 &&
         *side <= kMaxWindowSide;
}

// Where `form` is drawn on an output `size` pixels large.
SDL_Rect AreaOf(const screen::Form& form, SDL_Point size) {
  SDL_Rect area{0, 0, size.x, size.y};
  if (!form.full_screen) {
    area.w =
        static_cast<int>(std::lround(static_cast<double>(form.width) / screen::kTwipsPerPixel));
    area.h =
        static_cast<int>(std::lround(static_cast<double>(form.height) / screen::kTwipsPerPixel));
    area.x = (size.x - area.w) / 2;
    area.y = (size.y - area.h) / 2;
  }
  return area;
}

// How the shown forms look, as bytes: each form's area and background and every control that
// shows, with every field that decides its pixels. Equal bytes draw equal pictures, so the
// loop compares them instead of drawing a frame to find out; the cost is a walk over a few
// dozen controls, where a frame uploads the whole screen.
class Appearance final : public screen::FormVisitor {
 public:
  explicit Appearance(const VideoSource* video) : video_(video) {}

  void Add(const screen::Form& form, const SDL_Rect& area) {
    Put('F', area.x, area.y, area.w, area.h, form.background);
    form.Accept(*this);
  }
  void Visit(const screen::Frame& f) override {
    if (screen::Shows(f))
      Put('R', f.left, f.top, f.width, f.height, f.border, f.border_color, f.filled, f.fill);
  }
  void Visit(const screen::Label& l) override {
    if (screen::Shows(l))
      Put('L', l.left, l.top, l.width, l.height, l.points, l.bold, l.align, l.color, l.caption);
  }
  void Visit(const screen::Picture& p) override {
    if (screen::Shows(p)) Put('P', p.left, p.top, p.width, p.height, p.asset);
  }
  void Visit(const screen::TextBox& b) override {
    if (!screen::Shows(b)) return;
    Put('T', b.left, b.top, b.width, b.height, b.points, b.first_line, b.text);
    for (const std::string& heading : b.headings) PutOne(heading);
  }

  // A Video control looks different with each new picture.
  void Visit(const screen::Video& v) override {
    const int64_t picture = video_ != nullptr ? video_->PicturesMade() : -1;
    if (screen::Shows(v)) Put('V', v.left, v.top, v.width, v.height, picture);
  }

  std::string bytes;

 private:
  const VideoSource* video_;

  template <typename... Values>
  void Put(const Values&... values) {
    (PutOne(values), ...);
  }
  template <typename Value>
  void PutOne(const Value& value) {
    static_assert(std::is_trivially_copyable_v<Value>);
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void PutOne(const std::string& text) {
    PutOne(text.size());
    bytes.append(text);
  }
};

}  // namespace

bool ParseWindowSize(std::string_view text, int* width, int* height) {
  const size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  int w = 0, h = 0;
  if (!ParseSide(text.substr(0, x), &w) || !ParseSide(text.substr(x + 1), &h)) return false;
  *width = w;
  *height = h;
  return true;
}

class SdlPlatform::Impl {
 public:
  ~Impl();
  bool Open(std::string* error);

  void RunUntil(const KeyHandler& on_key, const std::function<bool()>& done);
  void Post(std::function<void()> task);
  // Draws the shown forms into the renderer's buffer; Present puts the buffer on the screen,
  // `look` (what Look() said of the forms drawn) being what it now shows.
  void Draw();
  void Present(std::string look);
  // Draws and presents the shown forms unless the screen shows them as they are already.
  void Refresh();
  bool SaveScreenshot(const std::string& png_path, std::string* error);
  void PushKeyDown(int32_t sdl_keycode, bool shift);
  void PushClick();
  SDL_Point OutputSize() const;
  void SetVideoSource(VideoSource* source) {
    video_source_ = source;
    painter_->SetVideoSource(source);
  }

  static int64_t Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  TimerQueue timers_;
  std::vector<const screen::Form*> shown_;
  std::unique_ptr<FontSet> fonts_ = std::make_unique<FontSet>();
  std::string asset_folder_;
  std::function<void()> on_click_, on_quit_;
  int64_t frames_presented_ = 0;
  std::function<void()> frame_listener_;

  // Hands a key to the innermost running loop's handler.
  void DeliverKey(int16_t code, int16_t shift) {
    if (code != 0 && !key_handlers_.empty()) (*key_handlers_.back())(code, shift);
  }

 private:
  bool DispatchEvents(const std::function<bool()>& done);
  bool WaitEvent(SDL_Event* event, int timeout_ms);
  void Wake();
  std::string Look() const;
  // The shown forms from the topmost full-screen one up: those under it are covered (the main
  // screen under the screen saver), so they are neither drawn nor compared.
  std::vector<const screen::Form*> Visible() const;
  void Dispatch(const SDL_Event& event);
  bool RunTasks(const std::function<bool()>& done);
  bool RunTimers(const std::function<bool()>& done);
  bool TasksPending();

  bool video_started_ = false;
  bool ttf_started_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<FormPainter> painter_;
  VideoSource* video_source_ = nullptr;
  // The innermost RunUntil's key handler is the last.
  std::vector<const KeyHandler*> key_handlers_;
  Uint32 wake_event_ = 0;
  // What the screen shows: Look() when the last frame was presented. Stale when the window
  // system may have lost the picture (the window uncovered, resized, the renderer reset).
  std::string on_screen_;
  bool stale_ = true;
  // SDL's own wait polls every millisecond on drivers that have nothing to wait on (offscreen,
  // dummy); there the loop sleeps on wake_ instead, which whatever queues an event signals.
  bool own_wait_ = false;

  std::mutex mutex_;  // guards tasks_, wake_pending_ and woken_, which other threads reach
  std::deque<std::function<void()>> tasks_;
  bool wake_pending_ = false;  // a wake-up event is in SDL's queue
  std::condition_variable wake_;
  bool woken_ = false;  // something was queued since the loop last slept on wake_
};

SdlPlatform::Impl::~Impl() {
  painter_.reset();
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  fonts_.reset();  // before SDL_ttf stops
  if (ttf_started_) TTF_Quit();
  if (video_started_) {
    IMG_Quit();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  }
}

bool SdlPlatform::Impl::Open(std::string* error) {
  int width = 0, height = 0;
  const char* window_size = std::getenv("JUBO_WINDOW");
  const bool windowed = window_size != nullptr && *window_size != '\0';
  if (windowed && !ParseWindowSize(window_size, &width, &height)) {
    *error = std::string("JUBO_WINDOW must be WIDTHxHEIGHT, such as 1280x720, not \"") +
             window_size + "\"";
    return false;
  }

  // SDL turns SIGINT and SIGTERM into a quit event only when asked not to leave them alone.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    *error = std::string("cannot start SDL video: ") + SDL_GetError();
    return false;
  }
  video_started_ = true;
  IMG_Init(IMG_INIT_PNG);
  if (TTF_Init() != 0) {
    *error = std::string("cannot start SDL_ttf: ") + TTF_GetError();
    return false;
  }
  ttf_started_ = true;
  if (!fonts_->Load(error)) return false;

  // Without a display there is nothing to accelerate: SDL's software renderer on the window's
  // own pixels draws the same picture every time, where OpenGL would bring in a rasteriser
  // compiled on the fly.
  const std::string_view driver = SDL_GetCurrentVideoDriver();
  const bool headless = driver == "offscreen" || driver == "dummy";
  if (headless) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  own_wait_ = headless;

  Uint32 flags = SDL_WINDOW_SHOWN;
  if (!windowed) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
      *error = std::string("cannot read the desktop's resolution: ") + SDL_GetError();
      return false;
    }
    width = desktop.w;
    height = desktop.h;
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  window_ = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                             flags);
  if (window_ == nullptr) {
    *error = std::string("cannot open the window: ") + SDL_GetError();
    return false;
  }
  if (!headless) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    *error = std::string("cannot draw in the window: ") + SDL_GetError();
    return false;
  }
  wake_event_ = SDL_RegisterEvents(1);
  if (wake_event_ == static_cast<Uint32>(-1)) {
    *error = "SDL has no user event left for waking the loop";
    return false;
  }
  // Keys arrive as key presses only; no text input or input method is wanted.
  SDL_StopTextInput();
  asset_folder_ = AssetFolder();
  painter_ = std::make_unique<FormPainter>(renderer_, fonts_.get(), asset_folder_);
  return true;
}

SDL_Point SdlPlatform::Impl::OutputSize() const {
  SDL_Point size{0, 0};
  SDL_GetRendererOutputSize(renderer_, &size.x, &size.y);
  return size;
}

void SdlPlatform::Impl::Draw() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, SDL_ALPHA_OPAQUE);
  SDL_RenderClear(renderer_);
  const SDL_Point size = OutputSize();
  for (const screen::Form* form : Visible()) painter_->Paint(*form, AreaOf(*form, size));
  painter_->EndFrame();
}

std::string SdlPlatform::Impl::Look() const {
  Appearance look(video_source_);
  const SDL_Point size = OutputSize();
  for (const screen::Form* form : Visible()) look.Add(*form, AreaOf(*form, size));
  return std::move(look.bytes);
}

std::vector<const screen::Form*> SdlPlatform::Impl::Visible() const {
  auto top = std::find_if(shown_.rbegin(), shown_.rend(),
                          [](const screen::Form* form) { return form->full_screen; });
  return {top == shown_.rend() ? shown_.begin() : std::prev(top.base()), shown_.end()};
}

void SdlPlatform::Impl::Present(std::string look) {
  SDL_RenderPresent(renderer_);
  ++frames_presented_;
  on_screen_ = std::move(look);
  stale_ = false;
  if (frame_listener_) frame_listener_();
}

void SdlPlatform::Impl::Refresh() {
  std::string look = Look();
  if (!stale_ && look == on_screen_) return;
  Draw();
  Present(std::move(look));
}

void SdlPlatform::Impl::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  key_handlers_.push_back(&on_key);
  struct PopOnExit {
    std::vector<const KeyHandler*>* handlers;
    ~PopOnExit() { handlers->pop_back(); }
  } pop{&key_handlers_};

  // What called this loop (a dialog being shown) is seen before the first event.
  Refresh();
  while (!done()) {
    bool busy = DispatchEvents(done);
    if (!done()) busy = RunTasks(done) || busy;
    if (!done()) busy = RunTimers(done) || busy;
    if (busy) Refresh();
  }
}

bool SdlPlatform::Impl::DispatchEvents(const std::function<bool()>& done) {
  int64_t wait = TasksPending() ? 0 : timers_.MsUntilNext(Now());
  if (wait < 0 || wait > kMaxWaitMs) wait = kMaxWaitMs;
  SDL_Event event;
  if (!WaitEvent(&event, static_cast<int>(wait))) return false;
  Dispatch(event);
  for (int count = 1; count < kMaxBatch && !done() && SDL_PollEvent(&event); ++count) {
    Dispatch(event);
  }
  return true;
}

bool SdlPlatform::Impl::WaitEvent(SDL_Event* event, int timeout_ms) {
  if (!own_wait_) return SDL_WaitEventTimeout(event, timeout_ms) != 0;
  if (SDL_PollEvent(event) != 0) return true;
  {
    // An event queued after the poll above has set woken_, so this does not sleep past it.
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return woken_; });
    woken_ = false;
  }
  return SDL_PollEvent(event) != 0;
}

void SdlPlatform::Impl::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  wake_.notify_one();
}

void SdlPlatform::Impl::Dispatch(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      const int16_t shift = (event.key.keysym.mod & KMOD_SHIFT) != 0 ? 1 : 0;
      DeliverKey(ProgramKeyCode(event.key.keysym.sym), shift);
      return;
    }
    case SDL_MOUSEBUTTONDOWN: {
      // A copy runs: the handler may replace itself.
      const std::function<void()> on_click = on_click_;
      if (on_click) on_click();
      return;
    }
    case SDL_QUIT: {
      const std::function<void()> on_quit = on_quit_;
      if (on_quit) on_quit();
      return;
    }
    case SDL_WINDOWEVENT:
      // The window system may have dropped the picture; the next refresh draws it again.
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
          event.window.event == SDL_WINDOWEVENT_SHOWN ||
          event.window.event == SDL_WINDOWEVENT_RESTORED ||
          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        stale_ = true;
      }
      return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      painter_->DropTextures();
      stale_ = true;
      return;
    default:
      if (event.type == wake_event_) {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_pending_ = false;
      }
      return;
  }
}

bool SdlPlatform::Impl::TasksPending() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !tasks_.empty();
}

bool SdlPlatform::Impl::RunTasks(const std::function<bool()>& done) {
  // Only the tasks queued before the batch: one that posts another (or itself) must not keep
  // the loop from its events and timers.
  size_t left = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    left = tasks_.size();
  }
  bool ran = false;
  for (; left > 0; --left) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.empty()) break;  // a nested loop ran them
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ran = true;
    if (done()) break;
  }
  return ran;
}

bool SdlPlatform::Impl::RunTimers(const std::function<bool()>& done) {
  // One reading of the clock for the batch: a timer runs at most once per batch however
  // long its tick takes.
  const int64_t now = Now();
  bool ran = false;
  while (timers_.RunOneDue(now)) {
    ran = true;
    if (done()) break;
  }
  return ran;
}

void SdlPlatform::Impl::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
    woken_ = true;
    if (!wake_pending_) {
      SDL_Event event{};
      event.type = wake_event_;
      // A failed push leaves wake_pending_ false, so the next Post tries again; the loop also
      // finds the task on its own next wake-up.
      wake_pending_ = SDL_PushEvent(&event) == 1;
    }
  }
  wake_.notify_one();
}

bool SdlPlatform::Impl::SaveScreenshot(const std::string& png_path, std::string* error) {
  Draw();
  const SDL_Point size = OutputSize();
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, size.x, size.y, 32, SDL_PIXELFORMAT_ARGB8888);
  bool saved = false;
  if (surface == nullptr) {
    *error = std::string("cannot make the screenshot: ") + SDL_GetError();
  } else if (SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, surface->pixels,
                                  surface->pitch) != 0) {
    *error = std::string("cannot read the screen back: ") + SDL_GetError();
  } else if (IMG_SavePNG(surface, png_path.c_str()) != 0) {
    *error = "cannot write " + png_path + ": " + IMG_GetError();
  } else {
    saved = true;
  }
  if (surface != nullptr) SDL_FreeSurface(surface);
  Present(Look());
  return saved;
}

void SdlPlatform::Impl::PushKeyDown(int32_t sdl_keycode, bool shift) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = SDL_GetWindowID(window_);
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = sdl_keycode;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sdl_keycode);
  event.key.keysym.mod = shift ? KMOD_LSHIFT : KMOD_NONE;
  SDL_PushEvent(&event);
  Wake();
}

void SdlPlatform::Impl::PushClick() {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.windowID = SDL_GetWindowID(window_);
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = SDL_PRESSED;
  event.button.clicks = 1;
  SDL_PushEvent(&event);
  Wake();
}

// --- SdlPlatform ------------------------------------------------------------------------

std::unique_ptr<SdlPlatform> SdlPlatform::Create(std::string* error) {
  auto impl = std::make_unique<Impl>();
  if (!impl->Open(error)) return nullptr;
  return std::unique_ptr<SdlPlatform>(new SdlPlatform(std::move(impl)));
}

SdlPlatform::SdlPlatform(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SdlPlatform::~SdlPlatform() = default;

void SdlPlatform::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  impl_->RunUntil(on_key, done);
}

int SdlPlatform::StartTimer(int interval_ms, std::function<void()> tick) {
  return impl_->timers_.Start(Impl::Now(), interval_ms, std::move(tick));
}

void SdlPlatform::StopTimer(int id) { impl_->timers_.Stop(id); }
void SdlPlatform::Post(std::function<void()> task) { impl_->Post(std::move(task)); }

void SdlPlatform::PostKey(int16_t key_code) {
  // A task like any posted one, so keys and tasks keep the order they were posted in; it finds
  // the innermost loop's handler when it runs, as a key pressed then would.
  Impl* impl = impl_.get();
  impl->Post([impl, key_code] { impl->DeliverKey(key_code, 0); });
}

int64_t SdlPlatform::NowMs() const { return Impl::Now(); }

void SdlPlatform::SetClickHandler(std::function<void()> on_click) {
  impl_->on_click_ = std::move(on_click);
}

void SdlPlatform::SetQuitHandler(std::function<void()> on_quit) {
  impl_->on_quit_ = std::move(on_quit);
}

int SdlPlatform::WidthPixels() const { return impl_->OutputSize().x; }
int SdlPlatform::HeightPixels() const { return impl_->OutputSize().y; }

void SdlPlatform::Show(const screen::Form* form) {
  if (form == nullptr) return;
  Hide(form);
  impl_->shown_.push_back(form);
}

void SdlPlatform::Hide(const screen::Form* form) { std::erase(impl_->shown_, form); }

void SdlPlatform::Repaint() { impl_->Refresh(); }

int64_t SdlPlatform::FramesPresented() const { return impl_->frames_presented_; }

void SdlPlatform::SetVideoSource(VideoSource* source) { impl_->SetVideoSource(source); }

void SdlPlatform::SetPointerVisible(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlPlatform::SetFrameListener(std::function<void()> listener) {
  impl_->frame_listener_ = std::move(listener);
}

void SdlPlatform::SetSystemSaver(bool enabled) {
  if (enabled) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

int SdlPlatform::WidthTwips(std::string_view text, double points, bool bold) const {
  return impl_->fonts_->WidthPixels(text, PixelSizeForPoints(points), bold) *
         screen::kTwipsPerPixel;
}

bool SdlPlatform::SaveScreenshot(const std::string& png_path, std::string* error) {
  return impl_->SaveScreenshot(png_path, error);
}

void SdlPlatform::PushKeyDown(int32_t sdl_keycode, bool shift) {
  impl_->PushKeyDown(sdl_keycode, shift);
}

void SdlPlatform::PushClick() { impl_->PushClick(); }

const std::string& SdlPlatform::asset_folder() const { return impl_->asset_folder_; }

}  // namespace platform
