// String-table texts of the sync's shell (second block, 2001-2029), in the language's set.
#pragma once

#include <string>

enum SyncTextId : unsigned {
  kTextStopSyncMenu = 2001,        // "Stop &synchronizing"
  kTextSecureChannel = 2002,       // the TLS handshake failed
  kTextPasswordNeeded = 2003,      // status bar
  kTextProgress = 2004,            // "Synchronizing: %s of %s"
  kTextSynchronized = 2005,        // counts at the end
  kTextSyncStopped = 2006,         // "Sync stopped: %s"
  kTextSeeReport = 2007,
  kTextSendingAtClose = 2008,
  kTextPlainHttpQuestion = 2009,
  kTextConnectionRefused = 2010,   // "The connection to %s was refused: %s"
  kTextCertificateUntrusted = 2011,
  kTextCertificateExpired = 2012,
  kTextCertificateOtherName = 2013,
  kTextCertificateRevoked = 2014,
  kTextCertificateInvalid = 2015,
  kTextCannotConnect = 2016,
  kTextUnknownName = 2017,
  kTextTimeout = 2018,
  kTextAnswerTooLarge = 2019,
  kTextNoAddressBook = 2020,       // "%s: no address book was found (%s)."
  kTextUnauthorized = 2021,
  kTextOtherBookQuestion = 2022,
  kTextCredentialFailed = 2023,
  kTextReportCaption = 2024,
  kTextCategories = 2025,
  kTextGroupCards = 2026,
  kTextNoReportYet = 2027,
  kTextChooseBook = 2028,
  kTextSyncFailed = 2029,          // "Synchronizing with %s failed: %s"
};

// The text in the language's set (ANSI), as LoadLocalString gives it.
std::string SyncText(unsigned id);
