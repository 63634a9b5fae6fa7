#include "platform/sdl_wave_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr int kChannel = 0;
// Past this many different files, the loaded ones are let go before loading another.
constexpr size_t kChunksKept = 16;

}  // namespace

SdlWavePlayer::~SdlWavePlayer() {
  if (audio_ != Audio::kOpen) return;
  Mix_HaltChannel(-1);
  for (auto& [path, chunk] : chunks_) Mix_FreeChunk(chunk);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlWavePlayer::OpenAudio(std::string* error) {
  if (audio_ == Audio::kOpen) return true;
  if (audio_ == Audio::kFailed) {
    *error = open_error_;
    return false;
  }
  const char* output = std::getenv("JUBO_AUDIO_OUTPUT");
  if (output != nullptr && std::strcmp(output, "null") == 0) {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
  }
  bool opened = false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    open_error_ = std::string("cannot start SDL audio: ") + SDL_GetError();
  } else if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    open_error_ = std::string("cannot open the sound device: ") + Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  } else {
    Mix_AllocateChannels(1);
    opened = true;
  }
  audio_ = opened ? Audio::kOpen : Audio::kFailed;
  if (!opened) *error = open_error_;
  return opened;
}

bool SdlWavePlayer::Play(const std::string& path, std::string* error) {
  if (!OpenAudio(error)) return false;
  Mix_HaltChannel(kChannel);
  playing_.clear();

  auto it = chunks_.find(path);
  if (it == chunks_.end()) {
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk == nullptr) {
      *error = "cannot play " + path + ": " + Mix_GetError();
      return false;
    }
    if (chunks_.size() >= kChunksKept) {
      for (auto& [kept_path, kept] : chunks_) Mix_FreeChunk(kept);
      chunks_.clear();
    }
    it = chunks_.emplace(path, chunk).first;
  }
  if (Mix_PlayChannel(kChannel, it->second, 0) < 0) {
    *error = "cannot play " + path + ": " + Mix_GetError();
    return false;
  }
  playing_ = path;
  return true;
}

std::string SdlWavePlayer::Sounding() const {
  if (audio_ != Audio::kOpen || playing_.empty() || Mix_Playing(kChannel) == 0) return {};
  return playing_;
}

}  // namespace platform
