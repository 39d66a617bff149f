// A virtual report list view with a tick box per row: the owner keeps the rows and answers for
// each cell's text and each row's tick; the view asks only for what it shows, so a list of
// hundreds of thousands of rows costs nothing until it is scrolled. A standard SysListView32, so
// screen readers read it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace bw::ui {

class CheckListView : public Control {
public:
    struct Column {
        std::wstring title;
        int width;         // pixels; 0 or less: what the others leave of the view's width
        bool rightAligned;
    };
    // Set before the view is created.
    std::vector<Column> columns;

    // What the view asks its owner: the text of a cell, whether a row is ticked.
    std::function<std::wstring(int row, int column)> textOf;
    std::function<bool(int row)> tickedOf;
    // A click on a row's tick box, or Space on the focused row.
    std::function<void(int row)> onToggle;
    // A click on a column's title.
    std::function<void(int column)> onColumnClick;

    // The number of rows; the view repaints.
    void SetRowCount(int rows);
    // Repaints every row, or one.
    void Repaint();
    void RepaintRow(int row);

    LRESULT OnNotify(NMHDR* hdr) override;

protected:
    const char* ClassName() const override { return "SysListView32"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void AfterCreate() override;

private:
    std::wstring text_;  // the text handed out for the last cell asked for
};

}  // namespace bw::ui
