select a, b from t where x = 1.5 and y like '%a';
