#include "project/reader_note_text.h"

#include "services/placeholder_text.h"
#include "services/language_file.h"

namespace varnholt {

std::string_view ReaderNoteKey(ReaderNoteKind kind) {
  switch (kind) {
    case ReaderNoteKind::kFurtherNotesLeftOut:
      return "dalszeUwagiPominiete";
    case ReaderNoteKind::kEntitiesNotRead:
      return "obiektyNiewczytane";
    case ReaderNoteKind::kEntityCutShort:
      return "obiektUciety";
    case ReaderNoteKind::kEntityFileEnds:
      return "pominietyKoniecPliku";
    case ReaderNoteKind::kEntityLacksGroup:
      return "pominietyBrakGrupy";
    case ReaderNoteKind::kEntityBeyondRange:
      return "pominietyPozaZakresem";
    case ReaderNoteKind::kEntityTooManyPoints:
      return "pominietyZaDuzoPunktow";
    case ReaderNoteKind::kEntityRadiusNotAbove0:
      return "pominietyPromien";
    case ReaderNoteKind::kEntitySameAngles:
      return "pominieteRowneKaty";
    case ReaderNoteKind::kEntityNoMajorAxis:
      return "pominietaOsWielka";
    case ReaderNoteKind::kEntityAxisRatio:
      return "pominietyStosunekOsi";
    case ReaderNoteKind::kEntityEmptyParameters:
      return "pominietyZakresParametru";
    case ReaderNoteKind::kEntityNoControlPoints:
      return "pominietyBrakPunktowKontrolnych";
    case ReaderNoteKind::kEntityDegree:
      return "pominietyStopien";
    case ReaderNoteKind::kEntityKnotsDoNotFit:
      return "pominieteWezly";
    case ReaderNoteKind::kCommandNotDrawn:
      return "rozkazPominiety";
  }
  return {};
}

std::string ReaderNoteText(const ReaderNote& note, const TextLookup& texts) {
  const std::string pattern = texts(kReaderNoteSection, ReaderNoteKey(note.kind));
  if (pattern.empty() || pattern == kMissingText) return note.text();
  return FillPlaceholders(pattern, note.values);
}

}  // namespace varnholt
