-- line comment
SELECT /* block
 spans */ * FROM T - 3;
