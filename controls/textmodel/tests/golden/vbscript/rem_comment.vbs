Dim x
rem this is a comment
x = 1 REM tail
remark = 2
