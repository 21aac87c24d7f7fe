BEGIN Begin begin END WhIlE
// line comment
