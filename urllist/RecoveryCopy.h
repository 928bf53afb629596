// The recovery copy's files: where they live, which instance owns which, and
// writing a copy off the GUI thread.
//
// Every running instance keeps a copy of its own, so two windows never
// replace each other's; a lock that the system lets go when a process ends,
// however it ends, tells a live instance's copy from one left behind:
//
//     $XDG_STATE_HOME/brisquel/          (default ~/.local/state/brisquel/)
//         instances.lock                 held while an instance takes its place
//                                        or looks for copies left behind
//         recovery-XXXXXX.lock           locked by its instance while it runs
//         recovery-XXXXXX.csv            that instance's copy, a check report
//
// A copy whose lock nobody holds was left by an instance that did not end
// cleanly. An instance finds at most one such copy at its start (the
// newest), and holds it locked while the user decides, so two starting
// instances never both offer it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/base/CString.h"

class RecoveryCopy {
public:
    RecoveryCopy() = default;
    // Lets go of the locks and leaves the files: only a clean exit removes
    // this instance's copy.
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Takes this instance's place in the state folder and looks for a copy
    // left behind. FALSE, with Problem() saying why, when the folder can't
    // be used; the program then keeps no copy.
    BOOL Open();
    const CString& Problem() const { return m_problem; }
    // The copy left behind, empty when there is none.
    CString LeftCopyPath() const;
    // The copy left behind becomes this instance's copy.
    void AdoptLeftCopy();
    void RemoveLeftCopy();

    // Replaces this instance's copy with `chunks`, written one after the
    // other on a thread of its own, which posts `message` to `notify` when
    // it is done: wParam 0, or the system's error number. One write at a
    // time.
    void Write(std::vector<std::string> chunks, HWND notify, UINT message);
    // Removes this instance's copy; a write under way is stopped first.
    void Remove();
    // A clean exit: the copy and this instance's place go.
    void EndCleanly();
    // This instance's copy, for messages.
    CString CopyPath() const;

private:
    void ReleaseLeftCopy();
    std::string PathOf(const std::string& stem, const char* extension) const;

    std::string m_folder; // UTF-8, as the system names it
    std::string m_stem; // this instance's "recovery-XXXXXX"; empty before Open
    int m_lockFd = -1;
    std::string m_leftStem; // the copy left behind; empty when none
    int m_leftLockFd = -1;
    std::shared_ptr<struct RecoveryWriteState> m_writeState;
    CString m_problem;
};
