#pragma once
// The readers' notes in the operator's language.

#include <string>
#include <string_view>

#include "files/reader_note.h"
#include "project/project_document.h"

namespace varnholt {

// Section of the language files that holds a text per kind of note.
inline constexpr std::string_view kReaderNoteSection = "Load_notes";

// The key of the kind's text in kReaderNoteSection.
std::string_view ReaderNoteKey(ReaderNoteKind kind);

// The note's text in the interface language: the kind's text with %1, %2 ... filled from the note's values. The
// English text when the language file lacks the kind (a file of an older program).
std::string ReaderNoteText(const ReaderNote& note, const TextLookup& texts);

}  // namespace varnholt
