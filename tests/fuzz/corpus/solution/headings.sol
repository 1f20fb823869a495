a 1
# Dual Solution
# Columns
r 1
# Reduced Costs (extra)
q 1
# Columns  0
b 4

# Dual Solution
