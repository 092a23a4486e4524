// Thin wrappers of the common controls the launcher's dialogs use. Each is attached to its
// window by subclassing (SubclassDlgItem) or created as a control of the system's class.
#pragma once

#include "winfx/wnd.h"

#include "scoped_win.h"

class CStatic : public CWnd {};

class CListCtrl : public CWnd {
public:
    int GetItemCount() const;
    int GetSelectedCount() const;
    // The next selected item after the given one (-1: from the top), or -1.
    int GetNextSelectedItem(int after = -1) const;
    bool IsSelected(int item) const;
    void SetSelected(int item, bool selected) const;
    // This item alone selected, with the focus mark that the arrow keys go on from.
    void SelectOnly(int item) const;

    int InsertColumn(int column, const char* heading, int format, int width) const;
    int InsertItem(int item, const std::string& text) const;
    void SetItemText(int item, int column, const std::string& text) const;
    void DeleteItem(int item) const;
    void DeleteAllItems() const;
};

class CToolTipCtrl : public CWnd {
public:
    // A tooltip window owned by the parent.
    bool Create(CWnd* parent, DWORD style = 0);
    void Activate(bool active) const;
    // A tool covering the whole of the window, with this text.
    void AddTool(CWnd* tool, const std::string& text) const;
    void UpdateTipText(CWnd* tool, const std::string& text) const;
    void SetMaxTipWidth(int width) const;
    void RelayEvent(MSG& msg) const;
};

class CFont {
public:
    bool CreateFontIndirect(const LOGFONTA& description);
    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_font.get()); }

private:
    scoped::GdiObject m_font;
};
