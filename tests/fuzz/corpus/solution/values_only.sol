# Velorium Solution File Version 1.1

# Columns  2
x 1
y 0
