#include "common/messages.h"

#include <sys/stat.h>

#include <cerrno>
#include <new>
#include <stdexcept>

#include "common/error.h"

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
    case EDQUOT:
      return "Das Speicherkontingent auf dem Datenträger ist erschöpft";
    case ENAMETOOLONG:
      return "Der Dateiname ist zu lang";
    case ELOOP:
      return "Zu viele Ebenen symbolischer Verknüpfungen";
    case EIO:
      return "Ein- oder Ausgabefehler beim Zugriff auf den Datenträger";
    case ENXIO:
    case ENODEV:
      return "Das Gerät oder die Adresse ist nicht vorhanden";
    case EMFILE:
    case ENFILE:
      return "Das System kann nicht noch mehr Dateien öffnen";
    case ENOMEM:
      return OutOfMemory();
    case EFBIG:
    case EOVERFLOW:
      return "Die Datei ist zu groß";
    case ETXTBSY:
    case EBUSY:
      return "Die Datei wird von einem anderen Prozess verwendet";
    case EAGAIN:
      return "Die Datei ist vorübergehend nicht verfügbar";
    case EINTR:
      return "Der Vorgang wurde unterbrochen";
    case EEXIST:
      return "Die Datei ist bereits vorhanden";
    case EXDEV:
      return "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden";
    case EMLINK:
      return "Zu viele Verknüpfungen";
    case ESTALE:
      return "Die Datei auf dem Netzlaufwerk ist nicht mehr verfügbar";
    case ETIMEDOUT:
      return "Zeitüberschreitung beim Zugriff auf die Datei";
    case EINVAL:
      return "Falscher Parameter";
    case EBADF:
      return "Das Handle ist ungültig";
    default:
      return "Unbekannter Systemfehler (Nummer " + std::to_string(errnum) + ")";
  }
}

std::string NotARegularFile(unsigned mode) {
  std::string kind = "ein besonderer Dateieintrag";
  if (S_ISDIR(mode)) {
    kind = "ein Ordner";
  } else if (S_ISFIFO(mode)) {
    kind = "eine benannte Pipe (FIFO)";
  } else if (S_ISSOCK(mode)) {
    kind = "ein Socket";
  } else if (S_ISCHR(mode) || S_ISBLK(mode)) {
    kind = "ein Gerät";
  }
  return "Keine normale Datei, sondern " + kind;
}

std::string FileTooLarge(const std::string& fileName, unsigned long long size,
                         unsigned long long limit) {
  return "Datei " + fileName + " ist zu groß (" + std::to_string(size) +
         " Bytes); gelesen werden höchstens " + std::to_string(limit) + " Bytes";
}

std::string WouldReplaceInput(const std::string& fileName) {
  return "Datei " + fileName + " wird nicht überschrieben, weil sie eine Eingabedatei ist";
}

std::string ConversionRunning(const std::string& folder) {
  return "Im Ordner " + folder +
         " läuft bereits eine Konvertierung. Bitte warten, bis sie beendet ist, und dann "
         "erneut versuchen.";
}

std::string TooManyRecords(const std::string& table, long long limit) {
  return "Zu viele Datensätze: die Tabelle " + table + " nimmt höchstens " + std::to_string(limit) +
         " auf";
}

std::string OutOfMemory() {
  return "Zu wenig Arbeitsspeicher";
}

std::string ErrorText(const std::exception& error) {
  if (dynamic_cast<const Error*>(&error) != nullptr) return error.what();
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
      dynamic_cast<const std::length_error*>(&error) != nullptr) {
    return OutOfMemory();
  }
  return error.what();
}

std::string NoProjectLoaded() {
  return "Kein Projekt geladen!";
}

}  // namespace trivo::msg
