#include "screen/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "screen/text.h"
#include "screen/view.h"

namespace screen {
namespace {

int Scaled(const ScreenState& s, double length) {
  return static_cast<int>(std::lround(length * s.ScreenScale));
}

int Width(const TextMeasure& measure, const Label& font, std::string_view text) {
  return measure.WidthTwips(text, font.points, font.bold);
}

// `paragraph` (one line of the text, without its line break) as the lines it wraps to.
void WrapParagraph(std::string_view paragraph, const TextMeasure& measure, const TextBox& box,
                   std::vector<std::string>& lines) {
  // Indentation is the text's own (an example of a configuration file): the first line keeps it.
  const size_t indent = std::min(paragraph.find_first_not_of(' '), paragraph.size());
  std::string line(paragraph.substr(0, indent));
  bool has_word = false;
  for (size_t pos = indent; pos < paragraph.size();) {
    const size_t word_start = paragraph.find_first_not_of(' ', pos);
    if (word_start == std::string_view::npos) break;
    pos = std::min(paragraph.find(' ', word_start), paragraph.size());
    const std::string_view word = paragraph.substr(word_start, pos - word_start);
    std::string longer = line + (has_word ? " " : "") + std::string(word);
    if (has_word && measure.WidthTwips(longer, box.points, false) > box.width) {
      lines.push_back(std::exchange(line, std::string(word)));
    } else {
      line = std::move(longer);
    }
    has_word = true;
  }
  lines.push_back(std::move(line));
}

}  // namespace

void rendertitle(ScreenState& s, const TextMeasure& measure, std::string_view title) {
  Label& label = s.frmMain.lblTitle;
  label.caption = fittowidth(title, label, measure);
  s.CrumbTitles[std::clamp<int>(s.CrumbDepth, 0, kMaxCrumbDepth)] = label.caption;
  renderbreadcrumbs(s, measure);
}

void renderbreadcrumbs(ScreenState& s, const TextMeasure& measure) {
  Label& crumbs = s.frmMain.lblCrumbs;
  crumbs.caption.clear();
  int depth = std::clamp<int>(s.CrumbDepth, 0, kMaxCrumbDepth);
  if (depth <= 1) return;
  const std::string& parent = s.CrumbTitles[depth - 1];
  int reserve = Width(measure, crumbs, parent + "...>>");
  int room = crumbs.width - reserve;
  std::string trail;
  bool cut = false;
  for (int i = 1; i <= depth - 2; ++i) {
    std::string longer = trail + s.CrumbTitles[i] + ">";
    if (Width(measure, crumbs, longer) > room) {
      cut = true;
      break;
    }
    trail = std::move(longer);
  }
  crumbs.caption = trail + (cut ? "...>" : "") + parent + ">";
}

std::string fittowidth(std::string_view texttoprint, const Label& container,
                       const TextMeasure& measure) {
  int w = Width(measure, container, texttoprint);
  if (w <= container.width) return std::string(texttoprint);
  // Keep about as many characters as fit, less four for the dots; halves round to even.
  double n = std::nearbyint(static_cast<double>(Len(texttoprint)) * container.width / w - 4);
  return Left(texttoprint, static_cast<long>(n)) + "...";
}

std::string FitWithSuffix(const std::string& text, const std::string& suffix,
                          const Label& container, const TextMeasure& measure) {
  auto shortened = [&] {
    return Left(text, static_cast<long>(Len(text)) - static_cast<long>(Len(suffix) + 4)) + "..." +
           suffix;
  };
  auto ends_in_dots = [](const std::string& caption) {
    return caption.size() >= 3 && caption.compare(caption.size() - 3, 3, "...") == 0;
  };
  if (ends_in_dots(text)) return shortened();
  if (ends_in_dots(fittowidth(text + suffix, container, measure))) return shortened();
  return text + suffix;
}

void renderhighlight(ScreenState& s) {
  Frame& frame = s.frmMain.shpHighlight;
  if (s.frmMain.lblItem.size() < 2) return;  // no rows laid out yet: nothing to frame
  int row = std::clamp<int>(s.CurrentRow, 1, static_cast<int>(s.frmMain.lblItem.size()) - 1);
  const Label& item = s.frmMain.lblItem[static_cast<size_t>(row)];
  // The caption's glyphs fill its row from the top, leaving room above the capitals and none
  // below the descenders: the frame sits a little lower and deeper than the row, and starts
  // clear of the caption's first letter, so that from across the room no letter touches it.
  frame.left = s.ListLeft - Scaled(s, 110);
  frame.top = item.top + Scaled(s, 10);
  frame.height = item.height + Scaled(s, 40);
  const View* view = FindView(ShownView(s));
  const bool narrow = view != nullptr && view->list != nullptr && view->list->narrow_highlight;
  frame.width = narrow ? Scaled(s, 660) : s.frmMain.width - s.ListLeft - Scaled(s, 90);
}

void rendericon(ScreenState& s, int kind, int row) {
  if (row >= 1 && row < static_cast<int>(s.frmMain.imgIcon.size())) {
    Picture& icon = s.frmMain.imgIcon[static_cast<size_t>(row)];
    icon.asset = IconAsset(kind);
    icon.left = Scaled(s, 200);
    icon.top = s.frmMain.lblItem[static_cast<size_t>(row)].top;
    icon.width = icon.height = Scaled(s, 420);
    icon.visible = true;
  }
  renderhighlight(s);
}

void SetBoxText(TextBox& box, const TextMeasure& measure, std::string text) {
  box.text = std::move(text);
  box.lines.clear();
  const std::string_view all = box.text;
  // The line break that ends the last paragraph starts no empty line after it.
  for (size_t start = 0; start < all.size();) {
    const size_t end = std::min(all.find('\n', start), all.size());
    std::string_view paragraph = all.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    WrapParagraph(paragraph, measure, box, box.lines);
    start = end + 1;
  }
  ScrollText(box, 0);
}

void ScrollText(TextBox& box, int vLines) {
  const int last_top = std::max(0, static_cast<int>(box.lines.size()) - VisibleLines(box));
  box.first_line = std::clamp(box.first_line + vLines, 0, last_top);
}

std::string framestominutes(double& frm) {
  frm = std::floor(frm);
  auto seconds = static_cast<long>(frm);
  long m = static_cast<long>(std::floor(static_cast<double>(seconds) / 60));
  long r = seconds - 60 * m;
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld", m, r);
  return text;
}

std::string PagingText(int page, int page_size, int total, std::string_view kind) {
  int first = total == 0 ? 0 : (page - 1) * page_size + 1;
  int last = std::min(page * page_size, total);
  return "Displaying " + std::to_string(first) + " to " + std::to_string(last) + " of " +
         std::to_string(total) + std::string(kind);
}

void ClearRows(ScreenState& s) {
  for (size_t row = 1; row < s.frmMain.lblItem.size(); ++row) {
    Label& item = s.frmMain.lblItem[row];
    item.caption.clear();
    item.tag.clear();
    item.visible = false;
    s.frmMain.imgIcon[row].visible = false;
  }
}

void SetRow(ScreenState& s, int row, std::string caption, std::string tag) {
  if (row < 1 || row >= static_cast<int>(s.frmMain.lblItem.size())) return;
  Label& item = s.frmMain.lblItem[static_cast<size_t>(row)];
  item.caption = std::move(caption);
  item.tag = std::move(tag);
  item.visible = true;
}

}  // namespace screen
