-- (3) 1,000,000 calls of a one-parameter function returning its argument + 1, summed.
function AddOne(n)
  return n + 1
end
sum = 0
local t0 = os.clock()
for i = 1, 1000000 do
  sum = sum + AddOne(i)
end
print(string.format("method_calls %.4f %s", os.clock() - t0, string.format("%.0f", sum)))
