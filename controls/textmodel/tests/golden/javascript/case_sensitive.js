Return return function Function typeof
