#include "sync/sync_texts.h"

#include "app/text_message.h"

std::string SyncText(unsigned id) { return LoadLongString(id); }
