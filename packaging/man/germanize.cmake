# Turns the headings help2man writes in English into German ones (the
# program's help is German already); NAME stays, as whatis looks for it.
# cmake -DPAGE=file -P germanize.cmake
file(READ "${PAGE}" page)
string(REPLACE "\"User Commands\"" "\"Benutzerbefehle\"" page "${page}")
string(REPLACE ".SH DESCRIPTION" ".SH BESCHREIBUNG" page "${page}")
string(REPLACE ".SH OPTIONS" ".SH OPTIONEN" page "${page}")
string(REPLACE ".SH SYNOPSIS" ".SH ÜBERSICHT" page "${page}")
string(REPLACE ".SH AUTHOR" ".SH AUTOR" page "${page}")
string(REPLACE ".SH \"REPORTING BUGS\"" ".SH FEHLER MELDEN" page "${page}")
string(REPLACE ".SH COPYRIGHT" ".SH URHEBERRECHT" page "${page}")
# the date in the title line
foreach(month "January|Januar" "February|Februar" "March|März" "April|April" "May|Mai"
              "June|Juni" "July|Juli" "August|August" "September|September"
              "October|Oktober" "November|November" "December|Dezember")
  string(REPLACE "|" ";" pair "${month}")
  list(GET pair 0 english)
  list(GET pair 1 german)
  string(REGEX REPLACE "(\\.TH [^\n]*)\"${english} ([0-9]+)\"" "\\1\"${german} \\2\"" page "${page}")
endforeach()
file(WRITE "${PAGE}" "${page}")
