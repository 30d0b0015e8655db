#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// What the file chooser lists: the roots of its drive list, the subfolders of a folder and the
// files of a folder that match a mask. Folders are given and returned ending with "/"; names
// are returned without their folder. Folders that cannot be read list nothing.

// Where the drive roots are looked for.
struct DriveRootPlaces {
  std::string home;              // the user's home folder
  std::string user;              // the login name, for the user's own media folder
  std::string media = "/media";  // removable media are mounted below this folder
  std::string mnt = "/mnt";      // and this one
};

// The places of this machine: $HOME (else the account's home folder) and the login name.
DriveRootPlaces CurrentDriveRootPlaces();

// The drive list: "/", the home folder, then every existing subfolder of the media folder and
// of the user's media folder (media/user/...), then every existing subfolder of the mnt folder,
// each group in name order. Every root ends with "/"; a root is listed once.
std::vector<std::string> DriveRoots(const DriveRootPlaces& places);

// The root of roots that holds folder: the longest root the folder starts with ("/" when no
// other one does). Empty when roots is empty.
std::string DriveRootOf(std::string_view folder, const std::vector<std::string>& roots);

// The folder above folder ("/data/score/" gives "/data/"); "/" stays "/".
std::string FolderAbove(std::string_view folder);

// The subfolders of folder (links to folders included, names starting with "." left out), in
// name order.
std::vector<std::string> ListSubfolders(std::string_view folder);

// True when name matches mask: one or more patterns separated by ";", each with "*" for any
// run of characters and "?" for one character, letter case ignored. "*.*" and "*" match every
// name, also one without a dot; so does a mask without any pattern.
bool MatchesMask(std::string_view name, std::string_view mask);

// The regular files of folder (links to files included, names starting with "." left out)
// whose names match mask, in name order.
std::vector<std::string> ListMatchingFiles(std::string_view folder, std::string_view mask);

}  // namespace lanereport
