// A card from the server as lines kept byte for byte, what the book reads from it, and the
// card written back with only the properties the book changed rewritten.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sync/sync_state.h"

// What the book reads from a card, decoded to UTF-8 (escapes undone).
struct CardFields {
  std::string version, uid;
  std::string fn;
  std::string first, middle, last;
  std::string email;  // the preferred, else the first
  std::string note;
  std::vector<std::string> categories;
  bool hasEmail = false;
  bool isGroup = false;
  GroupForm form = GroupForm::kCategories;  // of a group card
  std::vector<std::string> memberUids;      // "urn:uuid:" taken off
};

// A card's text with what the book reads from it; its lines are split again only to patch it.
struct ParsedCard {
  CardText text;
  CardFields fields;
};

// What is kept with a card's text once read.
struct CardReading {
  bool isCard = false;
  CardFields fields;
};

// None when the text holds no BEGIN:VCARD ... END:VCARD.
std::optional<ParsedCard> ParseCard(std::string_view text);
std::optional<ParsedCard> ParseCard(std::string text);  // the text becomes the card's kept text
std::optional<ParsedCard> ParseCard(const char* text);
// The same for a shared text, read once: later calls for the same text take the kept reading.
std::optional<ParsedCard> ReadCard(const CardText& text);

// The values the book wants on the card, UTF-8; an empty optional leaves that property as it is.
struct CardEdit {
  std::optional<std::string> fn, email, note;
  std::optional<std::vector<std::string>> name;  // first, middle, last
  std::optional<std::vector<std::string>> categories;
  std::optional<std::vector<std::string>> memberUids;
  std::string revTime;  // "20250101T120000Z": REV takes it when the card has one and anything changed
};

// The card with the edited properties rewritten and every other line as it came.
std::string PatchCard(const ParsedCard& card, const CardEdit& edit);

// New cards: a person (vCard 3.0) and a group card of the given form.
std::string NewPersonCard(const std::string& uid, const CardEdit& edit);
std::string NewGroupCard(const std::string& uid, GroupForm form, const CardEdit& edit);

// A card's UID as group members name it: vCard 4 writes UIDs as "urn:uuid:..." and members as
// "urn:uuid:" + UID, Apple's members add the prefix to a bare UID; both meet without it.
std::string MemberUidOf(std::string_view uid);

// A random UID (RFC 4122 version 4), in lower case.
std::string NewUuid();
