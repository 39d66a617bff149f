// Export and import of the browser's favorites as a bookmark file (the HTML format browsers
// exchange), through the Windows shell where it can, and through our own code where it cannot.
#pragma once
#include <optional>
#include <string>

namespace bw::platform {

// Exports the user's Favorites folder to `file` (import false) or imports `file` into it
// (import true). Tries the shell's ShellUIHelper object first (initialising COM for the call
// when needed); when the object is missing (Wine) or its call fails, does the same work with
// ExportFavoritesTree / ImportFavoritesTree on FavoritesFolder().
// Returns true when the work was done; false for an empty file name, a folder or file that
// cannot be had, and any failure listed below. Never shows anything.
bool ImportExportFavorites(bool import, const std::string& file);

// The user's Favorites folder (no trailing backslash): HKCU\...\Explorer\Shell Folders value
// "Favorites", or CSIDL_FAVORITES when that value is missing or blank. nullopt when neither
// gives a path. The folder need not exist.
std::optional<std::string> FavoritesFolder();

// Writes the tree under `folder` as a bookmark file (UTF-8, CR LF): every Internet shortcut
// "*.url" (its [InternetShortcut] URL=, title = file name without ".url") as a link, every
// sub-folder as a folder, folders before links, each in name order without regard to case.
// The tree is walked by the file system's true UTF-16 names (long paths, any depth up to the
// limit), so titles come out whole in any script and no name, however the code page shows it,
// leads out of `folder`. Shortcuts without a URL, other files, folders carrying
// FILE_ATTRIBUTE_REPARSE_POINT (junctions; under Wine, links to folders) and shortcuts that
// really lie elsewhere (under Wine, links to files) are left out, so nothing outside `folder` is
// read; nesting below 64 levels is left out. Text and attributes have & < > " escaped.
// False when `folder` is missing or cannot be listed, or `file` cannot be replaced whole (also
// when it is read-only); a failed export leaves the old file as it was.
bool ExportFavoritesTree(const std::string& folder, const std::string& file);

// Reads the bookmark file `file` and creates its folders and Internet shortcuts inside
// `folder`, which must exist. Tolerant of case, attribute order, missing </DT>, unknown tags;
// decodes &amp; &lt; &gt; &quot; &apos; &nbsp; and numeric entities; reads UTF-8 when the file
// says so (META charset or byte-order mark), the system code page otherwise.
// Names: characters invalid in file names (\ / : * ? " < > | and control characters) become
// "_", surrounding blanks and trailing dots are trimmed, device names (CON, NUL, COM1...) get a
// leading "_", names are cut to 100 characters; an empty title takes the URL instead, an empty
// folder name "New Folder". So nothing is ever created outside `folder`.
// An existing shortcut of the same name is replaced (the replacement is renamed into place, so
// a shortcut that is a link is replaced itself and its target is never written). An existing
// sub-folder is reused unless it carries REPARSE_POINT or is a file: then its contents are
// skipped. Links without HREF or with an empty one are skipped; folders nested deeper than 64
// levels are flattened into the 64th.
// Reading takes time in proportion to the file's size, whatever its shape.
// False when the file cannot be read, is empty or larger than 32 MiB, holds no bookmark tags
// (<DL>, <H3> or <A>) or more than 10,000 folders and shortcuts (then nothing is written), or
// when any folder or shortcut could not be written; true otherwise.
bool ImportFavoritesTree(const std::string& file, const std::string& folder);

}  // namespace bw::platform
