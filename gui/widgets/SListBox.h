// A list of lines to choose from: each line has cells drawn at fixed column starts, a heading line groups
// those below it and cannot be chosen, and one line is selected. A press selects the line under it, the
// wheel scrolls, and the owner moves the selection by keys (Step). The selection is reported to the
// listeners as a value event (type 3, value its index, -1 for none); a double click on a line as a
// control-changed event (type 5, value its index). Cells are in the fonts' Latin-1, fitted when given, so
// drawing measures nothing.
#pragma once

#include <string>
#include <vector>

#include "gui/SControl.h"

namespace tovo::gui {

namespace context {
class SDrawFont;
}

class SListBox : public SControl {
 public:
  static constexpr int kLineHeight = 14;

  struct Line {
    std::vector<std::string> cells;
    bool heading = false;
  };
  struct Colours {
    int background;
    int text;
    int heading;
    int selectedBackground;
    int selectedText;
  };

  // `columns` are the x of each cell's start; a cell ends where the next starts, the last at the right edge.
  SListBox(SGlobals* globals, SControl* parent, const char* name, int x, int y, int width, int height,
           std::vector<int> columns, context::SDrawFont* font, const Colours& colours);

  // Replaces the lines: the first line that is not a heading is selected, scrolled to the top.
  void SetLines(std::vector<Line> lines);
  // Selects a line (one that is not a heading, else nothing changes) and scrolls it into view.
  void Select(int index);
  // Moves the selection by `lines` (negative is up), passing over headings, stopping at either end.
  void Step(int lines);
  int Selected() const { return selected; }
  int LineCount() const { return static_cast<int>(lines.size()); }
  // How many lines the list shows at once: a page for the keys.
  int VisibleLines() const;
  int FirstShown() const { return top; }
  const Line& LineAt(int index) const { return lines[static_cast<size_t>(index)]; }

  void Draw(const SRect& rect) override;
  void MouseStateChanged(bool* mouse, int index) override;

 private:
  bool Selectable(int index) const;
  void ScrollTo(int first);
  void Report();

  std::vector<int> columns;
  context::SDrawFont* font;
  Colours colours;
  std::vector<Line> lines;
  int selected = -1;
  int top = 0;
};

}  // namespace tovo::gui
