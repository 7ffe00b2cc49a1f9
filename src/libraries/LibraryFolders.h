#pragma once

// The data folder's subfolders for the libraries and projects.
namespace korvane {

// Creates the data folder and its subfolders when missing, a new tool or
// operation folder with the default library; false, after the message, when
// one cannot be created.
bool createDataFolders();

} // namespace korvane
