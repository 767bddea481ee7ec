10 REM This file starts with a UTF-8 byte-order mark, as Windows editors write it
20 PRINT "first line kept"
