#pragma once
// The form-file converter of the design kit: form files read and written again in today's form.

#include <cstdint>
#include <string>

// Path names a ".dfm" file, or a folder whose "*.dfm" files (with Recursive, also those of its
// subfolders; names beginning with "." are passed by) are converted. Folder by folder, every
// form is read through the component filer into a form, references among the forms are fixed
// up, and each form that would now be written otherwise than its file holds is written back in
// the file's own form (text, binary or component resource) and class; the old file keeps its
// backup name, and "Form %s converted" with the file's name goes to the family's log. A file
// that cannot be read, or that refers to a component no form holds, is left as it is and the
// reason goes to the log. Answers the number of files converted.
int32_t CorrectFormFiles(const std::string& Path, bool Recursive);
