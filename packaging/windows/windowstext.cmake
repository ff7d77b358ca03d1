# A text file as Windows' Notepad reads it at first sight, whatever its
# age: UTF-8 after a byte-order mark, lines ended by CR LF. The guides are
# Markdown, which reads well enough as plain text.
# Usage: cmake -D INPUT=guide.md -D OUTPUT=guide.txt -P windowstext.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 mark)
file(WRITE "${OUTPUT}" "${mark}${text}")
