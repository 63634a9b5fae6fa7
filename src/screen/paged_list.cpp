#include "screen/paged_list.h"

#include <algorithm>
#include <cstdio>

#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

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

void MoveFirstPastNull(textdb::Cursor& cursor, const char* column) {
  cursor.MoveFirst();
  if (!cursor.IsEOF() && !cursor.Field(column)) cursor.MoveNext();
}

void DrawListPage(ScreenContext& jubo, long count, std::string_view kind,
                  const std::function<ListRow(long index)>& row) {
  ScreenState& s = jubo.screen;
  const View* view = FindView(ShownView(s));
  if (view == nullptr || view->list == nullptr) return;
  int16_t& page = s.ViewPage[static_cast<size_t>(view->list->page)];
  ClearRows(s);
  const long size = s.PageSize;
  const long last_page = count == 0 ? 1 : (count + size - 1) / size;
  if (page > last_page) page = static_cast<int16_t>(last_page);
  if (page < 1) page = 1;
  int i = 1;
  for (long index = (page - 1) * size; index < count && i <= size; ++index, ++i) {
    ListRow r = row(index);
    s.RowValues[static_cast<size_t>(i)] = std::move(r.value);
    SetRow(s, i, std::move(r.caption), std::move(r.tag));
    if (r.icon >= 0) rendericon(s, r.icon, i);
  }
  s.RowsShown = static_cast<int16_t>(i - 1);
  for (; i <= size; ++i) SetRow(s, i, "", "");
  s.frmMain.lblHelpAbove.caption = PagingText(page, s.PageSize, static_cast<int>(count), kind);
  s.frmMain.lblHelpAbove.visible = true;
  s.frmMain.lblHelpBelow.caption = view->hint(jubo);
  s.frmMain.lblHelpBelow.visible = true;
  s.CurrentRow = 1;
}

void DrawMenu(ScreenContext& jubo, const std::vector<MenuRow>& rows) {
  ScreenState& s = jubo.screen;
  ClearRows(s);
  int row = 1;
  for (; row <= s.PageSize && row <= static_cast<int>(rows.size()); ++row) {
    SetRow(s, row, rows[static_cast<size_t>(row - 1)].caption,
           rows[static_cast<size_t>(row - 1)].tag);
  }
  s.RowsShown = static_cast<int16_t>(row - 1);
  for (; row <= s.PageSize; ++row) SetRow(s, row, "", "");
  const View* view = FindView(ShownView(s));
  s.frmMain.lblHelpBelow.caption = view != nullptr ? view->hint(jubo) : "";
  s.frmMain.lblHelpBelow.visible = true;
}

bool Marked(const ScreenContext& jubo, const std::string& name) {
  const View* view = FindView(ShownView(jubo.screen));
  if (view == nullptr || view->marked == nullptr) return false;
  const std::vector<std::string>& marks = view->marked(jubo);
  return std::find(marks.begin(), marks.end(), name) != marks.end();
}

bool ListIsEmpty(const ScreenContext& jubo) { return jubo.screen.RowsShown == 0; }

}  // namespace screen
