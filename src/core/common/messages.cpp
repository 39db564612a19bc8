#include "common/messages.h"

#include <cerrno>
#include <cstring>

namespace trivo::msg {

std::string CannotOpenFile(const std::string& fileName, const std::string& reason) {
  return "Datei " + fileName + " kann nicht geöffnet werden. " + reason;
}

std::string CannotWrite(const std::string& fileName) {
  return "In " + fileName + " kann nicht geschrieben werden";
}

std::string NotAnInteger(const std::string& text) {
  return "'" + text + "' ist kein gültiger Integerwert";
}

std::string NotAFloat(const std::string& text) {
  return "'" + text + "' ist kein gültiger Gleitkommawert";
}

std::string NotATime(const std::string& text) {
  return "'" + text + "' ist keine gültige Uhrzeit";
}

std::string ListIndexOutOfBounds(long long index) {
  return "Listenindex überschreitet das Maximum (" + std::to_string(index) + ")";
}

std::string GridIndexOutOfRange() {
  return "Gitterindex außerhalb des zulässigen Bereichs";
}

std::string MissingDataProvider() {
  return "Fehlender Daten-Provider oder Datenpaket";
}

std::string KeyViolation() {
  return "Key violation.";
}

std::string DatasetClosed() {
  return "Operation bei geschlossener Datenmenge nicht ausführbar";
}

std::string DatasetNotInInsertMode() {
  return "Datenmenge befindet sich nicht im Einfügemodus";
}

std::string FieldNotFound(const std::string& name) {
  return "Feld '" + name + "' nicht gefunden";
}

std::string IndexNotFound(const std::string& name) {
  return "Index '" + name + "' nicht gefunden";
}

std::string NoActiveIndex() {
  return "Kein aktiver Index";
}

std::string ValueOutOfRange(long long value, const std::string& field, long long min,
                            long long max) {
  return std::to_string(value) + " ist kein gültiger Wert für Feld '" + field +
         "'. Der erlaubte Bereich ist " + std::to_string(min) + " bis " + std::to_string(max);
}

std::string SystemReason(int errnum) {
  switch (errnum) {
    case ENOENT:
      return "Das System kann die angegebene Datei nicht finden";
    case ENOTDIR:
      return "Das System kann den angegebenen Pfad nicht finden";
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return "Zugriff verweigert";
    case ENOSPC:
      return "Nicht genügend Speicherplatz auf dem Datenträger";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang";
    default:
      return std::strerror(errnum);
  }
}

}  // namespace trivo::msg
