#pragma once

#include <string>
#include <vector>

#include "database/WindowSettings.h"
#include "pages/PageContext.h"

namespace lanereport {

// Puts the images that the look settings name, and that the program ships in its folder's
// jpg/ (GetProgramFolder), where the pages look for them: out_folder + the setting's text
// (pages lie two levels below the output folder and reach it through "../../").
//
// The settings looked at are Background (only when it names an image, that is holds a "."),
// Frame1, Frame2, Strike, Spare and Space; empty ones are skipped. A setting's text is untrusted:
// trailing spaces are dropped (a browser drops them too), and it is used only when it is a
// relative path of plain names separated by "/" ("jpg/BG.jpg", "BG.jpg", "画像/BG.jpg"): no
// empty, "." or ".." part, no leading "/" or space, no "\", ":", "%", "?", "#" or control
// character, and its last part the exact name of a file of the program's jpg folder. A path
// that would leave out_folder through a symbolic link is skipped too. Anything else is skipped
// silently: the page then shows what the user named, as before.
//
// A file that already exists at the target (a file, a folder, a link) is never replaced. A copy
// is written whole (MakeFile: temporary file, then rename), making the folders it needs.
// Returns the full paths of the files written, in the order of the settings above, each once;
// empty when nothing was missing (and when out_folder is empty). Raises AppError (kErrFile)
// when a shipped image cannot be read or a copy cannot be written; the copies made before stay.
std::vector<std::string> CopyLookImages(const WindowSettings& look, const std::string& out_folder);

// CopyLookImages for the run of context, once: the page drivers call it before they write a
// page, so a run without pages copies nothing. The copies are added to context.images_copied.
void ProvideLookImages(PageContext& context);

// What a run says about the images it copied, one line with their number and the folder they
// went to ("出力先にない画像 6 個をコピーしました：…/jpg/"); empty when none were copied.
std::string ImagesCopiedText(const std::vector<std::string>& copied, const std::string& out_folder);

}  // namespace lanereport
