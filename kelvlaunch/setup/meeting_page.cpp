#include "setup/meeting_page.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"
#include "sessions/session_store.h"
#include "setup/page_message.h"
#include "setup/session_info.h"
#include "setup/session_text.h"
#include "winfx/access_key.h"
#include "winfx/accessible.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const char kSelectSingleItem[] = "You must select a single item first by clicking on it";
const char kListFull[] = "This list holds at most 49 sessions. Delete one before adding another.";

} // namespace

const MessageMap CHostListCtrl::messageMap{&CListCtrl::messageMap, {
    MessageEntry<WM_GETDLGCODE, &CHostListCtrl::OnGetDlgCode>,
    MessageEntry<WM_KEYDOWN, &CHostListCtrl::OnKeyDown>,
    MessageEntry<WM_SETFOCUS, &CHostListCtrl::OnSetFocus>,
    MessageEntry<WM_GETOBJECT, &CHostListCtrl::OnGetObject>,
}};

// Enter comes to the list rather than pressing the page's default button.
LRESULT CHostListCtrl::OnGetDlgCode(WPARAM, LPARAM message)
{
    return DlgCodeTakingEnter(message);
}

LRESULT CHostListCtrl::OnKeyDown(WPARAM key, LPARAM)
{
    if (key == VK_RETURN)
        PressButton(m_nEditButton);
    else if (key == VK_DELETE)
        PressButton(m_nDeleteButton);
    else
        return Default();
    return 0;
}

// The button's own notification, so that the key runs the very same handler; it may run a
// dialog, and Exit with it, so nothing follows.
void CHostListCtrl::PressButton(UINT id) const
{
    const HWND page = ::GetParent(m_hWnd);
    ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(page, static_cast<int>(id))));
}

// Arrows move a selection only once there is one. Not while the sheet is being built: the
// focus the system gives the first control then is nobody's choice.
void CHostListCtrl::OnSetFocus(HWND)
{
    Default();
    if (::IsWindowVisible(m_hWnd) && GetItemCount() > 0 && GetSelectedCount() == 0)
        SelectOnly(0);
}

LRESULT CHostListCtrl::OnGetObject(WPARAM flags, LPARAM objectId)
{
    AccessibleDescription list;
    if (const CWnd* page = CWnd::FromHandle(::GetParent(m_hWnd)))
        list.name = WithoutAccessKeyMarks(page->GetWindowText());
    if (const LRESULT answer = AnswerGetObject(m_hWnd, flags, objectId, list))
        return answer;
    return Default();
}

bool CMeetingPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.SubclassDlgItem(m_ids.listId, this);
    RECT rect{};
    ::GetWindowRect(m_list.m_hWnd, &rect);
    const int width = rect.right - rect.left - 4;
    m_list.InsertColumn(0, "Description", LVCFMT_LEFT, static_cast<int>(0.7 * width));
    m_list.InsertColumn(1, "Access Code", LVCFMT_LEFT, static_cast<int>(0.3 * width));
    FillRows();
    return true;
}

void CMeetingPage::FillRows()
{
    m_rows.clear();
    m_list.DeleteAllItems();
    if (const SessionTable* table = Table()) {
        for (const SessionEntry& entry : *table)
            AddRow(entry.m_strDescription, entry.m_strAccessCode, RowTexts::Listed);
    }
}

void CMeetingPage::ReloadRows()
{
    std::vector<SessionEntry> selected;
    for (int row = m_list.GetNextSelectedItem(); row >= 0; row = m_list.GetNextSelectedItem(row))
        selected.push_back(m_rows[static_cast<std::size_t>(row)]);
    FillRows();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (std::find(selected.begin(), selected.end(), m_rows[row]) != selected.end())
            m_list.SetSelected(static_cast<int>(row), true);
    }
}

bool CMeetingPage::AddRow(std::string description, std::string accessCode, RowTexts source)
{
    if (!MakeRowTexts(description, accessCode, source))
        return false;
    const int row = static_cast<int>(m_rows.size());
    m_rows.push_back({description, accessCode, 0});
    m_list.InsertItem(row, description);
    m_list.SetItemText(row, 1, accessCode);
    return true;
}

void CMeetingPage::UpdateRow(std::size_t row, std::string description, std::string accessCode)
{
    if (!MakeRowTexts(description, accessCode, RowTexts::Typed))
        return;
    m_rows[row] = {description, accessCode, 0};
    m_list.SetItemText(static_cast<int>(row), 0, description);
    m_list.SetItemText(static_cast<int>(row), 1, accessCode);
}

SessionTablePtr CMeetingPage::RowsAsTable() const
{
    auto table = std::make_unique<SessionTable>();
    const std::size_t count = std::min(m_rows.size(), kMaxSessions);
    std::copy_n(m_rows.begin(), count, table->m_entries.begin());
    return table;
}

void CMeetingPage::Store()
{
    if (!StoreRows())
        KelvlaunchApp().ReportListNotSaved(m_ids.fileName, ::GetLastError());
}

// Writing the file of a list that could not be read would lose what it holds.
bool CMeetingPage::RefuseWhenUnread() const
{
    return KelvlaunchApp().RefuseChangeWhileUnread(m_ids.fileName);
}

bool CMeetingPage::RefuseWhenFull() const
{
    if (m_rows.size() < kMaxSessions)
        return false;
    ShowPageMessage(*this, kListFull, MB_ICONINFORMATION);
    return true;
}

int CMeetingPage::SingleSelection() const
{
    if (m_list.GetSelectedCount() != 1) {
        ShowPageMessage(*this, kSelectSingleItem, 0);
        return -1;
    }
    return m_list.GetNextSelectedItem();
}

int CMeetingPage::FindRow(const SessionEntry& content, int preferred) const
{
    if (preferred >= 0 && static_cast<std::size_t>(preferred) < m_rows.size() &&
        m_rows[static_cast<std::size_t>(preferred)] == content)
        return preferred;
    const auto found = std::find(m_rows.begin(), m_rows.end(), content);
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

// The dialog's loop lets other commands run (an import may refill the rows, Exit may end
// the program); the page object itself lives until the sheet has closed.
void CMeetingPage::OnAddEntry()
{
    if (RefuseWhenUnread() || RefuseWhenFull())
        return;
    CSessionInfo dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    if (RefuseWhenUnread() || RefuseWhenFull())
        return;
    AddRow(dialog.m_strDescription, dialog.m_strAccessCode, RowTexts::Typed);
    Store();
}

void CMeetingPage::OnEditEntry()
{
    if (RefuseWhenUnread())
        return;
    const int selected = SingleSelection();
    if (selected < 0)
        return;
    const SessionEntry content = m_rows[static_cast<std::size_t>(selected)];
    CSessionInfo dialog(this);
    dialog.SetSession(content.m_strDescription, content.m_strAccessCode);
    if (dialog.DoModal() != IDOK || RefuseWhenUnread())
        return;
    const int row = FindRow(content, selected);
    if (row < 0)
        return;
    UpdateRow(static_cast<std::size_t>(row), dialog.m_strDescription, dialog.m_strAccessCode);
    Store();
}

void CMeetingPage::OnDeleteEntry()
{
    if (RefuseWhenUnread())
        return;
    const int selected = SingleSelection();
    if (selected < 0)
        return;
    m_rows.erase(m_rows.begin() + selected);
    m_list.DeleteItem(selected);
    // The keyboard user stays in the list: the next row, or the last one.
    if (!m_rows.empty())
        m_list.SelectOnly(std::min(selected, static_cast<int>(m_rows.size()) - 1));
    Store();
}

const MessageMap CHostDialog::messageMap{&CPropertyPage::messageMap, {
    CommandEntry<IDC_HOST_ADD, &CHostDialog::OnAddEntry>,
    CommandEntry<IDC_HOST_DELETE, &CHostDialog::OnDeleteEntry>,
    CommandEntry<IDC_HOST_EDIT, &CHostDialog::OnEditEntry>,
}};

CHostDialog::CHostDialog()
    : CMeetingPage({IDD_HOST_MEETINGS, IDC_HOST_LIST, IDC_HOST_EDIT, IDC_HOST_DELETE, kHostSessionFile}),
      m_nShownGeneration(KelvlaunchApp().m_nHostSessionsGeneration)
{
}

const SessionTable* CHostDialog::Table() const
{
    return KelvlaunchApp().m_pHostSessions.get();
}

// The table first, then the file: the tray menu shows the rows even when the file can't
// be written.
bool CHostDialog::StoreRows()
{
    CKelvlaunchApp& app = KelvlaunchApp();
    app.m_pHostSessions = RowsAsTable();
    m_nShownGeneration = ++app.m_nHostSessionsGeneration;
    return SaveHostSessions(app.m_pHostSessions.get());
}

// Rows not yet shown (the page's window comes with its first showing) are filled then.
void CHostDialog::OnHostSessionsChanged()
{
    const std::uint64_t current = KelvlaunchApp().m_nHostSessionsGeneration;
    if (!m_hWnd || m_nShownGeneration == current)
        return;
    ReloadRows();
    m_nShownGeneration = current;
}

const MessageMap CGuestDialog::messageMap{&CPropertyPage::messageMap, {
    CommandEntry<IDC_GUEST_ADD, &CGuestDialog::OnAddEntry>,
    CommandEntry<IDC_GUEST_DELETE, &CGuestDialog::OnDeleteEntry>,
    CommandEntry<IDC_GUEST_EDIT, &CGuestDialog::OnEditEntry>,
}};

CGuestDialog::CGuestDialog()
    : CMeetingPage({IDD_GUEST_MEETINGS, IDC_GUEST_LIST, IDC_GUEST_EDIT, IDC_GUEST_DELETE, kGuestSessionFile})
{
}

const SessionTable* CGuestDialog::Table() const
{
    return KelvlaunchApp().m_pGuestSessions.get();
}

// The file first: the table changes only when the file holds the rows.
bool CGuestDialog::StoreRows()
{
    if (!WriteSessionFile(kGuestSessionFile, m_rows))
        return false;
    KelvlaunchApp().m_pGuestSessions = RowsAsTable();
    return true;
}
