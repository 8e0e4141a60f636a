// One console listing over the listing session: the session's steps in order (SOURCE_DATE_EPOCH, the
// settings file, the configuration, the selection or folders, the run), each step's lines printed on
// stderr, and the exit status the program returns.
#pragma once

#include <optional>

#include "app/console_arguments.h"
#include "model/form_state.h"
#include "session/listing_session.h"

namespace quillary {

class ConsoleSession {
public:
    explicit ConsoleSession(ProgramLocations locations) : m_session(m_form, std::move(locations)) {}

    // Lists what `arguments` name (Action::ListSelection or Action::ListFolders); returns the exit
    // status. The settings file is read, never written.
    int List(const ConsoleArguments& arguments);
    // Compares two listings (Action::Compare), the later one first listed from folders when it names
    // folders; returns 0 when nothing changed, 4 when something did, 1 or 2 as a listing does.
    int Compare(const ConsoleArguments& arguments);

private:
    // The settings file, SOURCE_DATE_EPOCH and the configuration; an exit status when one stops the run.
    std::optional<int> Prepare(const ConsoleArguments& arguments);
    FormState m_form;
    ListingSession m_session;
};

} // namespace quillary
