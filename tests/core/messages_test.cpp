#include "common/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

#include "common/error.h"

namespace trivo {
namespace {

TEST(SystemReasons, EveryFileErrorIsToldInGerman) {
  for (const int error :
       {ENOENT, ENOTDIR, EACCES, EPERM,  EISDIR, EROFS,  ENOSPC,    EDQUOT,    ENAMETOOLONG, ELOOP,
        EIO,    ENXIO,   ENODEV, EMFILE, ENFILE, ENOMEM, EFBIG,     EOVERFLOW, ETXTBSY,      EBUSY,
        EAGAIN, EINTR,   EEXIST, EXDEV,  EMLINK, ESTALE, ETIMEDOUT, EINVAL,    EBADF}) {
    const std::string reason = msg::SystemReason(error);
    EXPECT_NE(reason, std::strerror(error)) << error;
    EXPECT_EQ(reason.find("Unbekannter"), std::string::npos) << error;
  }
  EXPECT_EQ(msg::SystemReason(EIO), "Ein- oder Ausgabefehler beim Zugriff auf den Datenträger");
  EXPECT_EQ(msg::SystemReason(ENXIO), "Das Gerät oder die Adresse ist nicht vorhanden");
  EXPECT_EQ(msg::SystemReason(ECHILD),
            "Unbekannter Systemfehler (Nummer " + std::to_string(ECHILD) + ")");
}

TEST(SystemReasons, AnErrorEndingACommandIsToldInGerman) {
  EXPECT_EQ(msg::ErrorText(Error("Key violation.")), "Key violation.");
  EXPECT_EQ(msg::ErrorText(std::bad_alloc()), "Zu wenig Arbeitsspeicher");
  EXPECT_EQ(msg::ErrorText(std::length_error("vector::_M_realloc_insert")),
            "Zu wenig Arbeitsspeicher");
}

}  // namespace
}  // namespace trivo
