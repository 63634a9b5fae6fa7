#include "screen/paged_list.h"

#include <cstdio>

#include "screen/render.h"
#include "screen/screen_context.h"

namespace screen {

bool OpenList(ScreenContext& jubo, textdb::Cursor& cursor, const std::string& sql) {
  library::LibraryState& lib = jubo.library;
  if (textdb::Status s = cursor.Open(sql, lib.LibraryConnection); !s.ok()) {
    std::fprintf(stderr, "jubo: cannot read the library: %s\n", s.message().c_str());
    sound::PlayCue(jubo, jubo.cues.ErrorSound);
    return false;
  }
  return true;
}

void DrawListPage(ScreenContext& jubo, int16_t& page, long count, std::string_view kind,
                  std::string_view hint, const std::function<void(int row, long index)>& fill) {
  ScreenState& s = jubo.screen;
  ClearRows(s);
  const long size = s.PageSize;
  const long last_page = count == 0 ? 1 : (count + size - 1) / size;
  if (page > last_page) page = static_cast<int16_t>(last_page);
  if (page < 1) page = 1;
  const long first = (page - 1) * size;
  int row = 1;
  for (long index = first; index < count && row <= size; ++index, ++row) fill(row, index);
  for (; row <= size; ++row) SetRow(s, row, "", "");
  s.frmMain.lblHelpAbove.caption = PagingText(page, s.PageSize, static_cast<int>(count), kind);
  s.frmMain.lblHelpAbove.visible = true;
  s.frmMain.lblHelpBelow.caption = std::string(hint);
  s.frmMain.lblHelpBelow.visible = true;
  s.CurrentRow = 1;
}

void StepIn(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  ++s.CrumbDepth;
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  s.SavedRow[static_cast<size_t>(s.CurrentView)] = s.CurrentRow;
}

void StepOut(ScreenContext& jubo) {
  --jubo.screen.CrumbDepth;
  sound::PlayCue(jubo, jubo.cues.BeepSound);
}

bool ListIsEmpty(const ScreenContext& jubo) {
  return jubo.screen.frmMain.lblItem[static_cast<size_t>(jubo.screen.CurrentRow)].caption.empty();
}

}  // namespace screen
