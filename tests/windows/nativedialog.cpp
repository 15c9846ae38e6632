#include "nativedialog.h"

#include <windows.h>

#include <chrono>

namespace {

// Control identifiers of the common file dialog's template.
constexpr int kFileTypeList = 0x470;   // cmb1
constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

QString windowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return QString::fromWCharArray(text);
}

// The visible dialog-class window of this process, if there is one.
HWND findDialog() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32770", nullptr))) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

QStringList comboEntries(HWND combo) {
    QStringList entries;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t entry[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
        entries.append(QString::fromWCharArray(entry));
    }
    return entries;
}

}  // namespace

NativeDialogAnswer::NativeDialogAnswer(const QString& name)
    : m_name(name), m_thread([this] { run(); }) {}

NativeDialogAnswer::~NativeDialogAnswer() {
    m_thread.join();
}

void NativeDialogAnswer::run() {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + seconds(15);
    HWND dialog = nullptr;
    while (!dialog && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(50));
        dialog = findDialog();
    }
    if (dialog) {
        // Let the dialog fill its controls before reading and typing.
        std::this_thread::sleep_for(milliseconds(300));
        m_title = windowText(dialog);
        m_fileTypes = comboEntries(GetDlgItem(dialog, kFileTypeList));
        HWND nameField = GetDlgItem(dialog, kFileNameCombo);
        nameField = nameField ? nameField : GetDlgItem(dialog, kFileNameEdit);
        m_proposedName = windowText(nameField);
        if (m_name.isEmpty()) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        } else {
            const std::wstring name = m_name.toStdWString();
            SendMessageW(nameField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        }
        m_answered = true;
    }
    m_done = true;
}

bool NativeDialogAnswer::waitUntilAnswered() {
    while (!m_done)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return m_answered;
}
