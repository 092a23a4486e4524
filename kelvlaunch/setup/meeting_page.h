// The Host Meetings and Guest Meetings pages: each shows one session list in a list view,
// edits it through the Session Information dialog and stores it at every change. The two
// differ only in their resources, their list and the order of storing.
#pragma once

#include "sessions/session_table.h"
#include "setup/session_text.h"
#include "winfx/controls.h"
#include "winfx/property_sheet.h"

#include <cstdint>
#include <string>
#include <vector>

// The list by keyboard: Enter edits and Delete deletes the selected row, exactly as the
// page's buttons do; getting the focus with no row selected selects the first. A screen
// reader names it after its page.
class CHostListCtrl : public CListCtrl {
public:
    CHostListCtrl(UINT editButton, UINT deleteButton) : m_nEditButton(editButton), m_nDeleteButton(deleteButton) {}

protected:
    LRESULT OnGetDlgCode(WPARAM key, LPARAM message);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    void OnSetFocus(HWND previousFocus);
    LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    void PressButton(UINT id) const;

    UINT m_nEditButton;
    UINT m_nDeleteButton;
};

struct MeetingPageIds {
    UINT templateId;
    UINT listId;
    UINT editButton;
    UINT deleteButton;
    const char* fileName;
};

class CMeetingPage : public CPropertyPage {
protected:
    explicit CMeetingPage(const MeetingPageIds& ids)
        : CPropertyPage(ids.templateId), m_list(ids.editButton, ids.deleteButton), m_ids(ids)
    {
    }

    // InitList: the columns, and the rows from the page's table.
    bool OnInitDialog() override;

    void OnAddEntry();
    void OnDeleteEntry();
    void OnEditEntry();

    // The page's session table (null after Exit).
    virtual const SessionTable* Table() const = 0;
    // Makes the table and the file hold the rows; false (with GetLastError) when the file
    // could not be written.
    virtual bool StoreRows() = 0;

    // Refills the rows from the table, keeping the selection by content.
    void ReloadRows();
    SessionTablePtr RowsAsTable() const;

    // The rows' texts, kept here rather than read back from the list view, so that they
    // round-trip byte for byte whatever their length.
    std::vector<SessionEntry> m_rows;
    CHostListCtrl m_list;

private:
    void FillRows();
    bool AddRow(std::string description, std::string accessCode, RowTexts source);
    void UpdateRow(std::size_t row, std::string description, std::string accessCode);
    void Store();
    bool RefuseWhenUnread() const;
    bool RefuseWhenFull() const;
    // The row selected alone, or -1 after telling the user to select one.
    int SingleSelection() const;
    // The row holding this content now (preferring the given one), or -1.
    int FindRow(const SessionEntry& content, int preferred) const;

    MeetingPageIds m_ids;
};

class CHostDialog : public CMeetingPage {
public:
    CHostDialog();

    // The host table was replaced or merged into while the page is open (an import).
    void OnHostSessionsChanged();

protected:
    const SessionTable* Table() const override;
    bool StoreRows() override;

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    std::uint64_t m_nShownGeneration = 0;
};

class CGuestDialog : public CMeetingPage {
public:
    CGuestDialog();

protected:
    const SessionTable* Table() const override;
    bool StoreRows() override;

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};
