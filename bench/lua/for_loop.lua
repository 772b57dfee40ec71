-- (1) 10,000,000 passes of r = i * 2 + x, with global variables.
x = 3
r = 0
local t0 = os.clock()
for i = 1, 10000000 do
  r = i * 2 + x
end
print(string.format("for_loop %.4f %s", os.clock() - t0, r))
