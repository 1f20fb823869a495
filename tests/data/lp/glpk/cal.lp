\* Problem: cal *\

\* WARNING: PROBLEM HAS NO ROWS/COLUMNS *\

End
