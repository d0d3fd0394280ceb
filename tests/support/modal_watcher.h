// Answers the modal boxes of a test from a second thread: a message box
// blocks the thread that shows it, so the watcher polls that thread's
// windows for a visible dialog ("#32770"), records its title and text and
// presses a button, the way a person at the screen would.
#ifndef TESTS_SUPPORT_MODAL_WATCHER_H
#define TESTS_SUPPORT_MODAL_WATCHER_H

#include <windows.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct SeenBox {
    std::string title;
    std::string text;   // the static text of a message box (control 0xFFFF)
    std::string okbutton;   // the label of the IDOK button ("Open", "Save", "OK")
    int answered = 0;   // the button pressed
};

class ModalWatcher {
public:
    explicit ModalWatcher(DWORD thread = GetCurrentThreadId()) : thread_(thread) {
        worker_ = std::thread([this] { run(); });
    }
    ~ModalWatcher() {
        stop_ = true;
        worker_.join();
    }
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    // Buttons for the next boxes, in order; once used up, boxes get IDOK.
    void answer(int button) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(button);
    }
    // A custom step for a dialog (a file dialog, say) before it is answered.
    void on_dialog(std::function<void(HWND)> action) {
        std::lock_guard<std::mutex> lock(mutex_);
        action_ = std::move(action);
    }

    // A file dialog's step: types a full path into its file-name field.
    static void typefilename(HWND dialog, const std::string& path) {
        HWND field = GetDlgItem(dialog, 0x47C);   // cmb13, or the edit inside it
        if (HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr)) field = edit;
        // The dialog fills its folder view after it shows, and that can
        // overwrite what was typed: type again until the text stays once the
        // dialog is back in its loop.
        for (int tries = 0; tries < 1000; ++tries) {
            SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            idle(dialog);
            char now[4096] = {0};
            SendMessageA(field, WM_GETTEXT, sizeof now, reinterpret_cast<LPARAM>(now));
            if (path == now) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::vector<SeenBox> seen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    // Waits until the window's thread is back in its message loop: a sent
    // message is answered only there. 10 s guards against a hung dialog; it
    // is no time limit.
    static void idle(HWND window) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    }

    static BOOL CALLBACK collect(HWND hwnd, LPARAM param) {
        char cls[64] = {0};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (IsWindowVisible(hwnd) && std::string(cls) == "#32770")
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
    }

    void run() {
        std::set<HWND> handled;
        while (!stop_) {
            std::vector<HWND> boxes;
            EnumThreadWindows(thread_, collect, reinterpret_cast<LPARAM>(&boxes));
            for (HWND box : boxes) {
                if (handled.count(box)) continue;
                handled.insert(box);
                // A box is read and answered once its set-up is done: when
                // its thread answers a sent message from the modal loop.
                idle(box);
                SeenBox s;
                char buf[4096];
                GetWindowTextA(box, buf, sizeof buf);
                s.title = buf;
                buf[0] = 0;
                if (HWND label = GetDlgItem(box, 0xFFFF)) GetWindowTextA(label, buf, sizeof buf);
                s.text = buf;
                buf[0] = 0;
                if (HWND ok = GetDlgItem(box, IDOK)) GetWindowTextA(ok, buf, sizeof buf);
                s.okbutton = buf;
                std::function<void(HWND)> action;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    action = action_;
                }
                if (action) action(box);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    s.answered = IDOK;
                    if (!answers_.empty()) {
                        s.answered = answers_.front();
                        answers_.pop_front();
                    }
                    seen_.push_back(s);
                }
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(s.answered, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, s.answered)));
            }
            // Forget boxes that are gone, so a reused handle is seen again.
            for (auto it = handled.begin(); it != handled.end();)
                it = IsWindow(*it) ? std::next(it) : handled.erase(it);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<SeenBox> seen_;
    std::function<void(HWND)> action_;
    std::thread worker_;
};

#endif
