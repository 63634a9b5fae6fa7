#include "platform/form_painter.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

// A user paging through a long list draws captions never drawn before, page after page: the
// textures kept for them stay within their budget however many pages go by.
TEST(FormPainterTest, CachedTexturesStayWithinTheirBudget) {
  ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 1920, 1080, 32, SDL_PIXELFORMAT_ARGB8888);
  ASSERT_NE(target, nullptr) << SDL_GetError();
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
  ASSERT_NE(renderer, nullptr) << SDL_GetError();
  {
    FontSet fonts;
    std::string error;
    ASSERT_TRUE(fonts.Load(&error)) << error;
    FormPainter painter(renderer, &fonts, "");
    screen::Label row;
    row.width = 1920 * screen::kTwipsPerPixel;
    row.height = 80 * screen::kTwipsPerPixel;
    row.points = 36;
    for (int page = 0; page < 300; ++page) {
      for (int i = 0; i < 2; ++i) {
        row.caption = "Album " + std::to_string(page * 2 + i) + " by an artist with a long name";
        painter.Visit(row);
      }
      painter.EndFrame();
      ASSERT_LE(painter.CachedBytes(), kTextBytesKept + (1 << 20)) << "page " << page;
    }
  }
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
  TTF_Quit();
}

}  // namespace
}  // namespace platform
