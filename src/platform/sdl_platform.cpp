#include "platform/sdl_platform.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <mutex>
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
// full SDL queue only delays a posted task.
constexpr int kMaxWaitMs = 1000;
// Events handled before the loop runs its tasks and timers and redraws.
constexpr int kMaxBatch = 64;

bool ParseSide(std::string_view text, int* side) {
  if (text.empty() || text.size() > 5) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *side);
  return error == std::errc() && end == text.data() + text.size() && *side >= 1 &&
         *side <= kMaxWindowSide;
}

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
  void Draw();
  void Present() {
    SDL_RenderPresent(renderer_);
    ++frames_presented_;
  }
  bool SaveScreenshot(const std::string& png_path, std::string* error);
  void PushKeyDown(int32_t sdl_keycode, bool shift);
  void PushClick();
  SDL_Point OutputSize() const;

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

  // Hands a key to the innermost running loop's handler.
  void DeliverKey(int16_t code, int16_t shift) {
    if (code != 0 && !key_handlers_.empty()) (*key_handlers_.back())(code, shift);
  }

 private:
  bool DispatchEvents(const std::function<bool()>& done);
  void Dispatch(const SDL_Event& event);
  bool RunTasks(const std::function<bool()>& done);
  bool RunTimers(const std::function<bool()>& done);
  bool TasksPending();

  bool video_started_ = false;
  bool ttf_started_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<FormPainter> painter_;
  // The innermost RunUntil's key handler is the last.
  std::vector<const KeyHandler*> key_handlers_;
  Uint32 wake_event_ = 0;

  std::mutex mutex_;  // guards tasks_ and wake_pending_, which other threads reach through Post
  std::deque<std::function<void()>> tasks_;
  bool wake_pending_ = false;  // a wake-up event is in SDL's queue
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
  for (const screen::Form* form : shown_) {
    SDL_Rect area{0, 0, size.x, size.y};
    if (!form->full_screen) {
      area.w =
          static_cast<int>(std::lround(static_cast<double>(form->width) / screen::kTwipsPerPixel));
      area.h =
          static_cast<int>(std::lround(static_cast<double>(form->height) / screen::kTwipsPerPixel));
      area.x = (size.x - area.w) / 2;
      area.y = (size.y - area.h) / 2;
    }
    painter_->Paint(*form, area);
  }
  painter_->EndFrame();
}

void SdlPlatform::Impl::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  key_handlers_.push_back(&on_key);
  struct PopOnExit {
    std::vector<const KeyHandler*>* handlers;
    ~PopOnExit() { handlers->pop_back(); }
  } pop{&key_handlers_};

  // What called this loop (a dialog being shown) is seen before the first event.
  Draw();
  Present();
  while (!done()) {
    bool busy = DispatchEvents(done);
    if (!done()) busy = RunTasks(done) || busy;
    if (!done()) busy = RunTimers(done) || busy;
    if (busy) {
      Draw();
      Present();
    }
  }
}

bool SdlPlatform::Impl::DispatchEvents(const std::function<bool()>& done) {
  int64_t wait = TasksPending() ? 0 : timers_.MsUntilNext(Now());
  if (wait < 0 || wait > kMaxWaitMs) wait = kMaxWaitMs;
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, static_cast<int>(wait)) == 0) return false;
  Dispatch(event);
  for (int count = 1; count < kMaxBatch && !done() && SDL_PollEvent(&event); ++count) {
    Dispatch(event);
  }
  return true;
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
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      painter_->DropTextures();
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
  std::lock_guard<std::mutex> lock(mutex_);
  tasks_.push_back(std::move(task));
  if (wake_pending_) return;
  SDL_Event event{};
  event.type = wake_event_;
  // A failed push leaves wake_pending_ false, so the next Post tries again; the loop also
  // finds the task on its own next wake-up.
  wake_pending_ = SDL_PushEvent(&event) == 1;
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
  Present();
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
}

void SdlPlatform::Impl::PushClick() {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.windowID = SDL_GetWindowID(window_);
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = SDL_PRESSED;
  event.button.clicks = 1;
  SDL_PushEvent(&event);
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

void SdlPlatform::Repaint() {
  impl_->Draw();
  impl_->Present();
}

int64_t SdlPlatform::FramesPresented() const { return impl_->frames_presented_; }

void SdlPlatform::SetPointerVisible(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
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
