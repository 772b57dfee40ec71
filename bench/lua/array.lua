-- (4) An array of 1,000,000 numbers: create, fill, sum (a Lua table grows as it is filled).
sum = 0
local t0 = os.clock()
a = {}
for i = 1, 1000000 do
  a[i] = i
end
for i = 1, 1000000 do
  sum = sum + a[i]
end
print(string.format("array %.4f %s", os.clock() - t0, string.format("%.0f", sum)))
