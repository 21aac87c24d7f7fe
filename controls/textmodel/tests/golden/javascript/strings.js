var s = "a \"q\"" + 'b\'c';
var u = "unterminated
