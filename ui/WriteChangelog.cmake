# Writes the change log from its template with today's date as its first line, in the form
# the About screen reads ("10 December 2026"). configure_file leaves the file alone when
# its text is unchanged, so the copies beside the executables are refreshed only on a new day.
# Arguments: TEMPLATE, OUTPUT, VERSION.
string(TIMESTAMP BUILD_DATE "%d %B %Y")
set(ZORV_VERSION "${VERSION}")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
