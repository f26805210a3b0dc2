// The book-folder choice at start, on the platform: made right after the data paths, told to
// the user once the language is known.
#pragma once

#include <string>

#include "app/book_folder.h"

// Moves g_shell.store's data paths to the user's book folder where the current directory takes
// no new files and holds no book.
BookFolderChoice KeepBookWhereItCanBeWritten();

// The status bar's word at start where the book is kept in the user's folder; "" otherwise.
std::string BookFolderNote(const BookFolderChoice& choice);

// When the book moved to a folder that holds no person file yet: says where it is kept.
void TellBookFolder(const BookFolderChoice& choice);
