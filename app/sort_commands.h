// Commands 113 and 114: refill the entry list in name or e-mail order (persons before groups).
#pragma once

void SortEntriesByName();
void SortEntriesByMail();
