// The load and the held, verified save that every command shares.
#include "cli/DriverSession.h"

#include "cli/Messages.h"

namespace morvex::cli {

DriverSession::DriverSession(FileSystem& files) : m_files(files), m_image(files) {}

int DriverSession::Load(const std::string& path, Access access, Console& console) {
    m_path = path;
    if (m_image.AllocateBuffer() != BufferOutcome::ready) {
        return console.Fail(kExitRefused, message::kNoMemory);
    }
    LoadOutcome outcome = LoadOutcome::readFailed;
    if (access == Access::edit) {
        m_held = m_files.Open(path, OpenMode::readWriteExisting);
    }
    if (m_held != nullptr) {
        outcome = m_image.LoadFrom(*m_held);
    } else {
        // A file we may read but not write still gets its table checked and the edit tried,
        // as the dialog does: the refusal comes at the save, with the save's message.
        outcome = m_image.Load(path);
    }
    switch (outcome) {
        case LoadOutcome::loaded:
            return kExitSuccess;
        case LoadOutcome::readFailed:
            return console.Fail(kExitRefused, message::kCannotRead);
        case LoadOutcome::noTable:
            return console.Fail(kExitRefused, message::kInvalidImage);
    }
    return console.Fail(kExitRefused, message::kCannotRead);
}

int DriverSession::Save(Console& console) {
    if (m_held == nullptr) {
        return console.Fail(kExitRefused, message::kCannotUpdate);
    }
    const SaveOutcome outcome = m_image.SaveTo(*m_held);
    const bool closed = m_held->Close();
    m_held.reset();
    if (outcome != SaveOutcome::saved || !closed) {
        return console.Fail(kExitRefused, message::kCannotUpdate);
    }
    return kExitSuccess;
}

}  // namespace morvex::cli
