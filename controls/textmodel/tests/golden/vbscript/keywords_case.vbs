FUNCTION f(ByVal a)
  f = NOTHING
end function
