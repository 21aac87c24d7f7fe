x = &HFF + &h10 & "s" ' comment
y = a&b
